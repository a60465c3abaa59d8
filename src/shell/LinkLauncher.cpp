#include "shell/LinkLauncher.h"

// Before shellapi.h, whose ShellExecute macro would rename the shell object's method.
#include <shldisp.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <memory>
#include <string>

#include "win/ComPtr.h"
#include "win/UniqueHandle.h"
#include "win/LazyImports.h"
#include "win/CodePage932.h"
#include "keys/LinkKind.h"

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
    const std::wstring wide = WideFromCp932(text);
    return wide.empty() ? UniqueBstr() : UniqueBstr(lazy::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

// A failure of the connection, not an answer of the shell: the object found earlier belongs
// to a shell that has ended, and the call never reached a live one.
bool IsShellGone(HRESULT result) noexcept {
    return HRESULT_FACILITY(result) == FACILITY_RPC ||
           result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
           result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) ||
           result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE) || result == CO_E_OBJNOTCONNECTED;
}
}  // namespace

LinkLauncher::LinkLauncher() : LinkLauncher(IsProcessElevated()) {}

LinkLauncher::LinkLauncher(bool elevated, ShellFinder findShell)
    : m_bElevated(elevated), m_findShell(std::move(findShell)) {}

int LinkLauncher::ShowCommandOf(WindowShow show) noexcept {
    switch (show) {
        case WindowShow::Minimized: return SW_SHOWMINNOACTIVE;
        case WindowShow::Maximized: return SW_SHOWMAXIMIZED;
        case WindowShow::Normal: break;
    }
    return SW_SHOWNORMAL;
}

LaunchResult LinkLauncher::Open(const KeyLink& link) {
    // A missing folder would leave the choice to the shell or the program (its own folder,
    // System32): the user named one, so nothing starts anywhere else.
    if (!link.start.startIn.empty()) {
        const DWORD attributes = ::GetFileAttributesW(WideFromCp932(link.start.startIn).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return LaunchResult::FolderMissing;
    }
    if (m_bElevated) return OpenThroughShell(link);
    // Not elevated: the program's own start is the user's own, and the shell reports a
    // failure itself. Wide, so that a Japanese path opens on any system.
    const std::wstring arguments =
        LinkTakesArguments(link.link) ? WideFromCp932(link.start.arguments) : std::wstring();
    const std::wstring folder = WideFromCp932(link.start.startIn);
    ::ShellExecuteW(nullptr, L"OPEN", WideFromCp932(link.link).c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                    folder.empty() ? nullptr : folder.c_str(), ShowCommandOf(link.start.show));
    return LaunchResult::Opened;
}

LaunchResult LinkLauncher::OpenThroughShell(const KeyLink& link) {
    UniqueBstr file = ToBstr(link.link.c_str());
    if (!file) return LaunchResult::NotOpened;
    UniqueBstr arguments = LinkTakesArguments(link.link) ? ToBstr(link.start.arguments.c_str()) : UniqueBstr();
    UniqueBstr folder = ToBstr(link.start.startIn.c_str());
    const int show = ShowCommandOf(link.start.show);
    // A shell found earlier may have ended since: look it up once more, then give up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_shell && m_findShell) m_shell = m_findShell();
        if (!m_shell) continue;
        // Only S_OK is a start: S_FALSE is the shell's own "could not".
        const HRESULT result = m_shell(file.Get(), arguments.Get(), folder.Get(), show);
        if (result == S_OK) return LaunchResult::Opened;
        if (!IsShellGone(result)) return LaunchResult::NotOpened;
        m_shell = nullptr;
    }
    return LaunchResult::ShellUnavailable;
}

LinkLauncher::ShellRoute LinkLauncher::FindDesktopShell() {
    ComPtr<IShellWindows> windows;
    if (FAILED(lazy::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                      reinterpret_cast<void**>(windows.Put()))))
        return nullptr;
    VARIANT location{};
    location.vt = VT_EMPTY;
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&location, &location, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.Put()) != S_OK ||
        !desktop)
        return nullptr;
    auto provider = desktop.As<IServiceProvider>(IID_IServiceProvider);
    ComPtr<IShellBrowser> browser;
    if (!provider || FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                                   reinterpret_cast<void**>(browser.Put()))))
        return nullptr;
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Put()))) return nullptr;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                   reinterpret_cast<void**>(background.Put()))))
        return nullptr;
    auto folderView = background.As<IShellFolderViewDual>(IID_IShellFolderViewDual);
    ComPtr<IDispatch> application;
    if (!folderView || FAILED(folderView->get_Application(application.Put()))) return nullptr;
    auto shell = std::shared_ptr<ComPtr<IShellDispatch2>>(
        new ComPtr<IShellDispatch2>(application.As<IShellDispatch2>(IID_IShellDispatch2)));
    if (!*shell) return nullptr;
    return [shell](BSTR file, BSTR arguments, BSTR folder, int showCommand) -> HRESULT {
        UniqueBstr verb(lazy::SysAllocString(L"open"));
        if (!verb) return E_OUTOFMEMORY;
        // The arguments go to the shell as one string, as they stand: the shell hands them to
        // the program's command line itself, and no command interpreter ever reads them.
        const auto text = [](BSTR value) {
            VARIANT variant{};
            variant.vt = value ? VT_BSTR : VT_EMPTY;
            variant.bstrVal = value;
            return variant;
        };
        VARIANT show{};
        show.vt = VT_I4;
        show.lVal = showCommand;
        return (*shell)->ShellExecute(file, text(arguments), text(folder), text(verb.Get()), show);
    };
}
