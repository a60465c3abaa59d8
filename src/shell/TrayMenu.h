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
