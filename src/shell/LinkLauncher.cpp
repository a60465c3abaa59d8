#include "shell/LinkLauncher.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <string>

#include "win/UniqueHandle.h"

// shellapi.h maps ShellExecute to ShellExecuteA; here it names the shell object's method.
#undef ShellExecute

namespace {
bool IsProcessElevated() noexcept {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    UniqueKernelHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

// The link in the program's code page as the shell's wide string.
UniqueBstr ToBstr(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return UniqueBstr();
    UniqueBstr result(::SysAllocStringLen(nullptr, static_cast<UINT>(length - 1)));
    if (result) ::MultiByteToWideChar(CP_ACP, 0, text, -1, result.Get(), length);
    return result;
}
}  // namespace

LinkLauncher::LinkLauncher() noexcept : m_bElevated(IsProcessElevated()) {}

void LinkLauncher::Open(const char* link) {
    if (m_bElevated && OpenThroughShell(link)) return;
    ::ShellExecuteA(nullptr, "OPEN", link, nullptr, nullptr, SW_SHOWNORMAL);
}

bool LinkLauncher::OpenThroughShell(const char* link) {
    if (!m_shell && !FindShell()) return false;
    UniqueBstr file = ToBstr(link);
    UniqueBstr verb(::SysAllocString(L"open"));
    if (!file || !verb) return false;
    VARIANT none{};
    none.vt = VT_EMPTY;
    VARIANT operation{};
    operation.vt = VT_BSTR;
    operation.bstrVal = verb.Get();
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    if (SUCCEEDED(m_shell->ShellExecute(file.Get(), none, none, operation, show))) return true;
    // A shell that failed once is looked up afresh next time.
    m_shell.Reset();
    return false;
}

bool LinkLauncher::FindShell() {
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  reinterpret_cast<void**>(windows.Put()))))
        return false;
    VARIANT location{};
    location.vt = VT_EMPTY;
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &location, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.Put()) != S_OK ||
        !desktop)
        return false;
    auto provider = desktop.As<IServiceProvider>(IID_IServiceProvider);
    ComPtr<IShellBrowser> browser;
    if (!provider || FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                                   reinterpret_cast<void**>(browser.Put()))))
        return false;
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Put()))) return false;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                   reinterpret_cast<void**>(background.Put()))))
        return false;
    auto folderView = background.As<IShellFolderViewDual>(IID_IShellFolderViewDual);
    ComPtr<IDispatch> application;
    if (!folderView || FAILED(folderView->get_Application(application.Put()))) return false;
    m_shell = application.As<IShellDispatch2>(IID_IShellDispatch2);
    return static_cast<bool>(m_shell);
}
