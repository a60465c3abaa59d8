#include "settings/KeyButtonIcons.h"

#include <shellapi.h>

#include "win/UrlService.h"

KeyButtonIcons::Choice KeyButtonIcons::ChooseIcon(const char* link) const {
    // A writable copy of at most 260 characters: the shell may write the associated
    // program's path into it.
    char copy[261] = {};
    ::lstrcpynA(copy, link, sizeof copy);
    DWORD service = kUrlServiceUnknown;
    if (m_urls.ParseServiceType(copy, service) &&
        (service == kUrlServiceFtp || service == kUrlServiceHttp || service == kUrlServiceHttps))
        return {m_hBrowserIcon, false};
    WORD index = 0;
    return {::ExtractAssociatedIconA(::GetModuleHandleA(nullptr), copy, &index), true};
}

void KeyButtonIcons::SetKeyIcon(HWND button, const char* link) {
    if (!button) return;
    if (!link || !*link) {
        ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, 0);
        m_shellIcons.erase(button);
        return;
    }
    const Choice choice = ChooseIcon(link);
    if (!choice.icon) return;
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(choice.icon));
    // The button no longer shows the previous shell icon: it can go now.
    if (choice.fromShell) m_shellIcons[button].Reset(choice.icon);
    else m_shellIcons.erase(button);
}
