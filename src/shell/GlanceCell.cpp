#include "shell/GlanceCell.h"

bool GlanceCell::Create(HWND overlay, const RECT& place) {
    CREATESTRUCTW cs{};
    cs.style = static_cast<LONG>(WS_CHILD | WS_VISIBLE);
    cs.hwndParent = overlay;
    cs.x = place.left;
    cs.y = place.top;
    cs.cx = place.right - place.left;
    cs.cy = place.bottom - place.top;
    cs.lpszName = m_texts.name.c_str();
    return CreateEx(cs);
}

bool GlanceCell::PreCreateWindow(CREATESTRUCTW& cs) {
    UseWindowClass(cs, RegisterWindowClass(0, ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */),
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
    return true;
}

LRESULT GlanceCell::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case BM_GETIMAGE: return reinterpret_cast<LRESULT>(m_hIcon);
        case BM_SETIMAGE: {
            const HICON previous = m_hIcon;
            m_hIcon = reinterpret_cast<HICON>(lParam);
            ::InvalidateRect(Hwnd(), nullptr, TRUE);
            return reinterpret_cast<LRESULT>(previous);
        }
        case WM_PAINT: OnPaint(); return 0;
        default: return DefaultProc(msg, wParam, lParam);
    }
}

void GlanceCell::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    if (!dc) return;
    const GlanceLayout& layout = *m_style.layout;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    // A frame in the text's colour: a high-contrast theme shows every cell's edge.
    ::FrameRect(dc, &client, ::GetSysColorBrush(m_texts.dimmed ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(m_texts.dimmed ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const auto draw = [dc](const std::wstring& text, RECT place, UINT format) {
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place,
                    format | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
    };
    const HGDIOBJ old = ::SelectObject(dc, m_style.smallFont);
    draw(m_texts.number, layout.number, DT_LEFT);
    draw(m_texts.combination, layout.combination, DT_CENTER);
    draw(m_texts.typed, layout.typed, DT_CENTER);
    ::SelectObject(dc, m_style.captionFont);
    draw(m_texts.caption, layout.caption, DT_CENTER);
    ::SelectObject(dc, old);
    if (m_hIcon)
        ::DrawIconEx(dc, layout.icon.left, layout.icon.top, m_hIcon, layout.icon.right - layout.icon.left,
                     layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);
    ::EndPaint(Hwnd(), &paint);
}
