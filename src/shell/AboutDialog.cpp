#include "shell/AboutDialog.h"

#include "res/resource.h"

AboutDialog::AboutDialog(HWND parent) noexcept : Dialog(IDD_ABOUTBOX, parent) {}

BOOL AboutDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // Only the big icon: the caption of a modal frame shows no small one.
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    return TRUE;
}
