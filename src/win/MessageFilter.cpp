#include "win/MessageFilter.h"

#include <initializer_list>

#include "win/ProcAddress.h"

ChangeWindowMessageFilterExProc SystemChangeWindowMessageFilterEx() noexcept {
    return GetProcAs<ChangeWindowMessageFilterExProc>(::GetModuleHandleA("user32.dll"),
                                                      "ChangeWindowMessageFilterEx");
}

void AdmitFileDrops(ChangeWindowMessageFilterExProc allow, HWND window) noexcept {
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, not in the headers
    constexpr DWORD kAllow = 1;               // MSGFLT_ALLOW
    if (!allow || !window) return;
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        allow(window, message, kAllow, nullptr);
}
