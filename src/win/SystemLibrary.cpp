#include "win/SystemLibrary.h"

#include <string>
#include <vector>

UniqueModule LoadSystemLibrary(const char* fileName) noexcept {
    char directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return UniqueModule();
    try {
        const std::string path = std::string(directory) + "\\" + fileName;
        return UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, 0));
    } catch (...) {
        return UniqueModule();
    }
}

std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A full buffer means the path was cut: its directory would be some other directory.
        if (length < path.size()) return std::wstring(path.data(), length);
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}
