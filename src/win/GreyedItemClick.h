#pragma once
// Notices a click on one greyed item of a popup menu while the menu runs. Windows sends no
// command for a greyed item, yet an item that cannot be used should say why when clicked:
// a message filter for the menu's loop sees the click (or Enter on the highlighted item),
// closes the menu and remembers it. One watch at a time, on the thread that shows the menu.
#include <windows.h>

class GreyedItemClick {
public:
    GreyedItemClick(HMENU popup, UINT itemId) noexcept;
    ~GreyedItemClick();
    GreyedItemClick(const GreyedItemClick&) = delete;
    GreyedItemClick& operator=(const GreyedItemClick&) = delete;

    bool Clicked() const noexcept { return m_bClicked; }

private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam);
    bool IsOurItemChosen(const MSG& msg) const noexcept;

    HMENU m_popup;
    UINT m_itemId;
    bool m_bClicked = false;
    HHOOK m_hook = nullptr;
};
