#include "shell/ProgramWindows.h"

#include <shlobj.h>

#include <algorithm>

#include "win/ComPtr.h"
#include "win/UniqueHandle.h"
#include "win/WindowText.h"
#include "win/LazyImports.h"

namespace {
bool EndsWith(const std::wstring& text, const wchar_t* ending) {
    const std::size_t size = std::char_traits<wchar_t>::length(ending);
    return text.size() > size &&
           ::CompareStringOrdinal(text.c_str() + text.size() - size, static_cast<int>(size), ending,
                                  static_cast<int>(size), TRUE) == CSTR_EQUAL;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

std::wstring ShortcutTarget(const std::wstring& shortcut) {
    ComPtr<IShellLinkW> link;
    if (FAILED(lazy::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(link.Put()))))
        return {};
    auto file = link.As<IPersistFile>(IID_IPersistFile);
    wchar_t target[MAX_PATH] = {};
    if (!file || FAILED(file->Load(shortcut.c_str(), STGM_READ)) ||
        FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return {};
    // The raw target may name its folder through the environment ("%windir%\notepad.exe"), as
    // the shell's own shortcuts do; the running program's image has the expanded path.
    wchar_t expanded[MAX_PATH * 2] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(target, expanded, MAX_PATH * 2);
    return length > 0 && length <= MAX_PATH * 2 ? std::wstring(expanded) : std::wstring(target);
}

std::wstring ImageOf(DWORD processId) {
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (!process || !::QueryFullProcessImageNameW(process.Get(), 0, path, &size)) return {};
    return std::wstring(path, size);
}

struct WindowSearch {
    const std::wstring* program;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectProgramWindow(HWND hwnd, LPARAM lParam) noexcept {
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    if (!::IsWindowVisible(hwnd) || ::GetWindow(hwnd, GW_OWNER) || (::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        return TRUE;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    try {
        if (processId != ::GetCurrentProcessId() && SamePath(ImageOf(processId), *search.program))
            search.windows.push_back(hwnd);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::wstring ProgramOfLink(const std::string& link) {
    std::wstring path = WideFromAnsi(link);
    if (EndsWith(path, L".lnk")) path = ShortcutTarget(path);
    return EndsWith(path, L".exe") ? path : std::wstring();
}

std::vector<HWND> WindowsOfProgram(const std::wstring& programPath) {
    WindowSearch search{&programPath, {}};
    if (!programPath.empty()) ::EnumWindows(&CollectProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND WindowToSwitchTo(const std::vector<HWND>& windows, HWND foreground) noexcept {
    if (windows.empty()) return nullptr;
    const bool oneInFront = std::find(windows.begin(), windows.end(), foreground) != windows.end();
    return oneInFront ? windows.back() : windows.front();
}

namespace {
class SystemCalls : public WindowCalls {
public:
    bool IsWindow(HWND window) override { return ::IsWindow(window) != FALSE; }
    bool IsIconic(HWND window) override { return ::IsIconic(window) != FALSE; }
    void ShowWindowAsync(HWND window, int command) override { ::ShowWindowAsync(window, command); }
    bool SetForegroundWindow(HWND window) override { return ::SetForegroundWindow(window) != FALSE; }
    HWND GetForegroundWindow() override { return ::GetForegroundWindow(); }
    DWORD GetWindowThreadId(HWND window) override { return ::GetWindowThreadProcessId(window, nullptr); }
    bool AttachThreadInput(DWORD from, DWORD to, bool attach) override {
        return ::AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
    }
    void SetWindowPos(HWND window, HWND after, UINT flags) override {
        ::SetWindowPos(window, after, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
    }
};
}  // namespace

WindowCalls& SystemWindowCalls() noexcept {
    static SystemCalls calls;
    return calls;
}

void BringToFront(HWND window, WindowCalls& calls) noexcept {
    if (!calls.IsWindow(window)) return;
    // Another program's window: asynchronously, so that a program that does not answer
    // holds nobody.
    if (calls.IsIconic(window)) calls.ShowWindowAsync(window, SW_RESTORE);
    if (calls.SetForegroundWindow(window) || calls.GetForegroundWindow() == window) return;
    // Refused: the thread in front has had input since the key was pressed. Sharing its input
    // state makes this thread's call count as that thread's, for this one call only; the call
    // waits for nobody. Nor does raising it: BringWindowToTop would wait for the window's
    // thread (while the input of the thread in front is attached); the window's thread
    // raises it when it can.
    const DWORD ours = ::GetCurrentThreadId();
    const DWORD front = calls.GetWindowThreadId(calls.GetForegroundWindow());
    if (front == 0 || front == ours || !calls.AttachThreadInput(ours, front, true)) return;
    calls.SetForegroundWindow(window);
    calls.SetWindowPos(window, HWND_TOP, SWP_ASYNCWINDOWPOS);
    calls.AttachThreadInput(ours, front, false);
}
