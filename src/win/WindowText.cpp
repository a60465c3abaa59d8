#include "win/WindowText.h"

#include <vector>

#include "win/CodePage932.h"

std::string WindowTextOf(HWND window) { return AnsiFromWide(WideWindowTextOf(window)); }

std::wstring WideWindowTextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1);
    const int got = ::GetWindowTextW(window, wide.data(), length + 1);
    return got <= 0 ? std::wstring() : std::wstring(wide.data(), static_cast<std::size_t>(got));
}

void SetWindowTextCp932(HWND window, const std::string& text) {
    ::SetWindowTextW(window, WideFromCp932(text).c_str());
}

int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxWide(owner, WideFromCp932(text), caption, type);
}

int MessageBoxWide(HWND owner, const std::wstring& text, const std::string& caption, UINT type) {
    return ::MessageBoxW(owner, text.c_str(), WideFromCp932(caption).c_str(), type);
}

std::string AnsiFromWide(const std::wstring& wide) { return Cp932FromWide(wide).text; }

std::wstring WideFromAnsi(const std::string& text) { return WideFromCp932(text); }

std::optional<std::wstring> SingleDroppedPath(HDROP drop) {
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1) return std::nullopt;
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(copied);
    return path;
}
