#include "settings/KeyButtonIcons.h"

#include <shellapi.h>
#include <commctrl.h>

#include "win/UrlService.h"
#include "win/LazyImports.h"

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

namespace {
// The icon with the system's small warning sign in its lower right corner; a sign alone
// without an icon. The caller owns the result.
HICON WithWarningSign(HICON icon) {
    const int size = ::GetSystemMetrics(SM_CXICON);
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    const auto sign = static_cast<HICON>(::LoadImageA(nullptr, MAKEINTRESOURCEA(32515) /* IDI_WARNING */,
                                                      IMAGE_ICON, small, small, LR_SHARED));
    if (!icon) return sign ? ::CopyIcon(sign) : nullptr;
    HIMAGELIST base = lazy::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
    HIMAGELIST mark = lazy::ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 1, 0);
    HICON result = nullptr;
    if (base && mark && lazy::ImageList_ReplaceIcon(base, -1, icon) == 0 && sign && lazy::ImageList_ReplaceIcon(mark, -1, sign) == 0) {
        if (HIMAGELIST merged = lazy::ImageList_Merge(base, 0, mark, 0, size - small, size - small)) {
            result = lazy::ImageList_GetIcon(merged, 0, ILD_NORMAL);
            lazy::ImageList_Destroy(merged);
        }
    }
    if (base) lazy::ImageList_Destroy(base);
    if (mark) lazy::ImageList_Destroy(mark);
    return result ? result : ::CopyIcon(icon);
}
}  // namespace

void KeyButtonIcons::SetKeyIcon(HWND button, const char* link, bool marked) {
    if (!button) return;
    HICON icon = nullptr;
    if (link && *link) {
        auto known = m_linkIcons.find(link);
        if (known != m_linkIcons.end()) {
            icon = known->second.Get();
        } else {
            const Choice choice = ChooseIcon(link);
            icon = choice.icon;
            if (choice.fromShell) m_linkIcons[link].Reset(choice.icon);
        }
        if (!icon) return;
    }
    UniqueIcon withSign(marked ? WithWarningSign(icon) : nullptr);
    ::SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(withSign ? withSign.Get() : icon));
    // The button no longer shows its previous icon with a sign: it can go now.
    if (withSign) m_markedIcons[button] = std::move(withSign);
    else m_markedIcons.erase(button);
}
