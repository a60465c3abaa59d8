#include "win/WindowText.h"

#include <vector>

std::string WindowTextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1);
    const int got = ::GetWindowTextW(window, wide.data(), length + 1);
    if (got <= 0) return {};
    return AnsiFromWide(std::wstring(wide.data(), static_cast<std::size_t>(got)));
}

std::string AnsiFromWide(const std::wstring& wide) {
    const int size = static_cast<int>(wide.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::wstring WideFromAnsi(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), units);
    return wide;
}

std::optional<std::string> SingleDroppedPath(HDROP drop) {
    if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) != 1) return std::nullopt;
    const UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
    std::string path(static_cast<std::size_t>(length) + 1, '\0');
    const UINT copied = ::DragQueryFileA(drop, 0, path.data(), length + 1);
    path.resize(copied);
    return path;
}
