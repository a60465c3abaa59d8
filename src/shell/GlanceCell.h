#pragma once
// One key in the keys-at-a-glance overlay: a child window that draws the key's number, icon,
// caption, combination and text to type, in the system's colours. It takes its image as a
// button does (BM_SETIMAGE), so that the settings dialog's key icons, read in the background,
// reach it the same way they reach a key button.
#include <windows.h>

#include <utility>

#include "shell/GlanceLayout.h"
#include "win/Window.h"

// The fonts and places every cell shares; owned by the overlay.
struct GlanceStyle {
    const GlanceLayout* layout = nullptr;
    HFONT captionFont = nullptr;
    HFONT smallFont = nullptr;
};

class GlanceCell : public Window {
public:
    GlanceCell(GlanceTexts texts, const GlanceStyle& style) : m_texts(std::move(texts)), m_style(style) {}

    bool Create(HWND overlay, const RECT& place);
    const GlanceTexts& Texts() const noexcept { return m_texts; }

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();

    GlanceTexts m_texts;
    const GlanceStyle& m_style;
    HICON m_hIcon = nullptr;  // the icons' owner keeps it while the overlay shows
};
