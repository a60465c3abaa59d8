#include "shell/GlanceOverlay.h"

#include <string>
#include <vector>

#include "res/AppMessages.h"
#include "res/texts.h"
#include "settings/KeyButtonIcons.h"
#include "shell/GlanceAccessible.h"
#include "shell/GlanceCell.h"
#include "shell/GlanceDismissHooks.h"
#include "shell/GlanceLayout.h"
#include "win/ScreenPlacement.h"
#include "win/ComPtr.h"
#include "win/LazyImports.h"
#include "win/UiLanguage.h"
#include "win/UniqueHandle.h"
#include "win/UrlService.h"

struct GlanceOverlay::Shown {
    std::wstring title = LoadUiString(IDS_GLANCE_TITLE);
    std::wstring foot = LoadUiString(IDS_GLANCE_FOOT);
    GlanceLayout layout;
    UniqueFont titleFont;
    UniqueFont captionFont;
    UniqueFont smallFont;
    GlanceStyle style;
    UrlServiceReader urls;
    std::unique_ptr<KeyButtonIcons> icons;
    // The cells go before the icons they show.
    std::vector<std::unique_ptr<GlanceCell>> cells;
    std::unique_ptr<GlanceDismissHooks> hooks;
    // Made when a screen reader first asks.
    ComPtr<GlanceAccessible> accessible;
};

namespace {
// The system's message font at the height, in pixels, so that it is crisp at the overlay's DPI.
UniqueFont MessageFont(int height, bool bold) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    font.lfHeight = -height;
    font.lfWidth = 0;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = CLEARTYPE_QUALITY;
    return UniqueFont(::CreateFontIndirectW(&font));
}
}  // namespace

GlanceOverlay::GlanceOverlay() noexcept = default;

GlanceOverlay::~GlanceOverlay() {
    // While the object is whole: the window's last messages still reach this class.
    DestroyWindow();
}

bool GlanceOverlay::PreCreateWindow(CREATESTRUCTW& cs) {
    UseWindowClass(cs, RegisterWindowClass(0, ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    return true;
}

bool GlanceOverlay::Show(const KeySetTable& table, HMONITOR monitor, HICON browserIcon, HWND owner) {
    if (Hwnd()) return true;
    const RECT area = WorkAreaOfMonitor(monitor);
    m_shown = std::make_unique<Shown>();
    CREATESTRUCTW cs{};
    // Above every window, never active, never on the taskbar.
    cs.dwExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
    cs.style = static_cast<LONG>(WS_POPUP | WS_BORDER);
    cs.hwndParent = owner;
    // Made on its monitor first, which gives it that monitor's DPI to lay itself out by.
    cs.x = area.left;
    cs.y = area.top;
    cs.cx = cs.cy = 1;
    cs.lpszName = m_shown->title.c_str();
    if (!CreateEx(cs)) {
        m_shown.reset();
        return false;
    }
    Fill(table, browserIcon);
    const RECT& place = m_shown->layout.window;
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void GlanceOverlay::Fill(const KeySetTable& table, HICON browserIcon) {
    Shown& shown = *m_shown;
    shown.layout = LayOutGlance(WorkAreaOfMonitor(::MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTOPRIMARY)),
                                DpiOfWindow(Hwnd()));
    shown.titleFont = MessageFont(shown.layout.titleFont, true);
    shown.captionFont = MessageFont(shown.layout.captionFont, false);
    shown.smallFont = MessageFont(shown.layout.smallFont, false);
    shown.style = GlanceStyle{&shown.layout, shown.captionFont.Get(), shown.smallFont.Get()};
    // The icons at hand (the browser's, for every web link) at once; the shell's, which may
    // take long, drawn as they arrive.
    shown.icons = std::make_unique<KeyButtonIcons>(browserIcon);
    shown.icons->ReadInBackground(Hwnd(), WM_APP_WORKER_REPLY);
    std::size_t position = 0;
    for (const KeySet& record : table) {
        if (position >= shown.layout.cells.size()) break;
        auto cell = std::make_unique<GlanceCell>(GlanceTextsOf(record, shown.urls), shown.style);
        if (cell->Create(Hwnd(), shown.layout.cells[position]))
            shown.icons->SetKeyIcon(cell->Hwnd(), record.HasLink() ? record.link.c_str() : nullptr);
        shown.cells.push_back(std::move(cell));
        ++position;
    }
    shown.hooks = std::make_unique<GlanceDismissHooks>(Hwnd());
}

LRESULT GlanceOverlay::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        // A click on it must not take the focus from the window in front either.
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_PAINT: OnPaint(); return 0;
        case WM_APP_WORKER_REPLY:
            if (m_shown && m_shown->icons) m_shown->icons->RunReplies();
            return 0;
        case WM_GETOBJECT: return OnGetObject(wParam, lParam);
        case WM_NCDESTROY:
            // The cells are gone by now; the hooks, icons and fonts go with them.
            m_shown.reset();
            return DefaultProc(msg, wParam, lParam);
        default: return DefaultProc(msg, wParam, lParam);
    }
}

void GlanceOverlay::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    if (!dc) return;
    if (m_shown) {
        const Shown& shown = *m_shown;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        RECT title = shown.layout.title;
        RECT foot = shown.layout.foot;
        const HGDIOBJ old = ::SelectObject(dc, shown.titleFont.Get());
        ::DrawTextW(dc, shown.title.c_str(), -1, &title, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, shown.smallFont.Get());
        ::DrawTextW(dc, shown.foot.c_str(), -1, &foot, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    ::EndPaint(Hwnd(), &paint);
}

LRESULT GlanceOverlay::OnGetObject(WPARAM wParam, LPARAM lParam) {
    // Only the client area is ours to tell of; the frame is the system's.
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT) || !m_shown)
        return DefaultProc(WM_GETOBJECT, wParam, lParam);
    Shown& shown = *m_shown;
    if (!shown.accessible) {
        std::vector<GlanceAccessible::Item> items;
        for (const auto& cell : shown.cells) {
            const GlanceTexts& texts = cell->Texts();
            RECT place{};
            ::GetWindowRect(cell->Hwnd(), &place);
            std::wstring description = texts.combination;
            if (!texts.typed.empty()) description += L" " + texts.typed;
            items.push_back({texts.name, description, place, texts.dimmed});
        }
        RECT place{};
        ::GetWindowRect(Hwnd(), &place);
        shown.accessible.Reset(new GlanceAccessible(Hwnd(), shown.title, place, std::move(items)));
    }
    return lazy::LresultFromObject(GlanceAccessible::InterfaceId(), wParam, shown.accessible.Get());
}
