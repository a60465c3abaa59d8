#pragma once
// The tray icon's popup menu: menu 128 in the interface's language, whose first submenu is
// shown, with the Settings command as its default (bold) item.
#include <windows.h>

#include "res/resource.h"
#include "win/UiLanguage.h"
#include "win/UniqueHandle.h"

// The whole loaded menu (destroying it frees the submenu too); empty when it cannot be loaded.
inline UniqueMenu LoadTrayMenu() {
    UniqueMenu menu(LoadUiMenu(IDR_MAINFRAME));
    if (HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr)
        ::SetMenuDefaultItem(popup, IDM_SETTINGS, FALSE);
    return menu;
}

// Whether the menu opens at the icon. A right click opens it at the pointer; the keyboard (the
// menu key, Shift+F10 on the focused icon) at the icon, since the pointer may be anywhere on
// the screen then. Both end in WM_CONTEXTMENU where the shell took version 3: the one that
// follows a right button-up within the double-click time is the click's.
inline bool TrayMenuAtIcon(UINT notification, DWORD sinceRightButtonUp, DWORD doubleClickTime) noexcept {
    return notification == WM_CONTEXTMENU && sinceRightButtonUp > doubleClickTime;
}

// Where the menu opens: at the icon, clear of it, when its place is given; else at the pointer
// (a click, or a shell that does not tell the icon's place).
struct TrayMenuPlace {
    POINT at;
    UINT flags;    // TrackPopupMenuEx's alignment
    RECT exclude;  // the icon, which the menu keeps clear of; empty at the pointer
};
inline TrayMenuPlace PlaceTrayMenu(POINT pointer, const RECT* icon) noexcept {
    if (!icon || ::IsRectEmpty(icon)) return {pointer, TPM_RIGHTALIGN | TPM_TOPALIGN, RECT{}};
    return {POINT{icon->right, icon->top}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_VERTICAL, *icon};
}
