#include "WindowQuery.h"

namespace {
struct ProcessWindows {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId) search->windows.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    ProcessWindows search{processId, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::vector<HWND> ChildWindowsOf(HWND parent) {
    std::vector<HWND> children;
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string Cp932OfWide(const std::wstring& wide) {
    const int size = ::WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::string WindowText(HWND hwnd) {
    wchar_t buffer[4096] = {};
    // WM_GETTEXT crosses processes (the system copies the text); GetWindowText would only
    // give the cached caption.
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                          nullptr);
    return Cp932OfWide(buffer);
}

std::string ClassNameOf(HWND hwnd) {
    char buffer[256] = {};
    ::GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

HWND FindFrameWindow(DWORD processId) {
    for (HWND hwnd : TopLevelWindowsOf(processId))
        if (ClassNameOf(hwnd) != "#32770" && WindowText(hwnd) == "Vorlund") return hwnd;
    return nullptr;
}

std::vector<HWND> VisibleDialogsOf(DWORD processId, HWND except) {
    std::vector<HWND> dialogs;
    for (HWND hwnd : TopLevelWindowsOf(processId))
        if (hwnd != except && ClassNameOf(hwnd) == "#32770" && ::IsWindowVisible(hwnd)) dialogs.push_back(hwnd);
    return dialogs;
}

HWND FindDialogWindow(DWORD processId) {
    const std::vector<HWND> dialogs = VisibleDialogsOf(processId);
    return dialogs.empty() ? nullptr : dialogs.front();
}

HWND FindVisibleWindowTitled(DWORD processId, const std::string& title) {
    for (HWND hwnd : TopLevelWindowsOf(processId))
        if (::IsWindowVisible(hwnd) && WindowText(hwnd) == title) return hwnd;
    return nullptr;
}

HWND FindVisibleWindowOfClass(DWORD processId, const std::string& className) {
    for (HWND hwnd : TopLevelWindowsOf(processId))
        if (::IsWindowVisible(hwnd) && ClassNameOf(hwnd) == className) return hwnd;
    return nullptr;
}

HWND FindDialogTitled(DWORD processId, const std::string& title) {
    for (HWND hwnd : VisibleDialogsOf(processId))
        if (WindowText(hwnd) == title) return hwnd;
    return nullptr;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND child : ChildWindowsOf(box)) {
        if (_stricmp(ClassNameOf(child).c_str(), "Static") != 0) continue;
        const std::string part = WindowText(child);
        if (part.empty()) continue;
        if (!text.empty()) text += "\n";
        text += part;
    }
    return text;
}

HICON KeyImage(HWND button, HWND noLink) {
    const auto image = [](HWND key) { return reinterpret_cast<HICON>(::SendMessageW(key, BM_GETIMAGE, IMAGE_ICON, 0)); };
    const HICON shown = image(button);
    return shown == image(noLink) ? nullptr : shown;
}
