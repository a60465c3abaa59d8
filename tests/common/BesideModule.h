#pragma once
// The test doubles keep their logs beside themselves, where the tests look for them.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

// The path of a file in the directory of the module (null: the program itself); empty when
// the module's own path cannot be had.
inline std::string FileBesideModule(HMODULE module, const char* name) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const char* slash = std::strrchr(path, '\\');
    return slash ? std::string(path, static_cast<std::size_t>(slash + 1 - path)) + name : std::string();
}

// The same, wide: found in a folder with a Japanese name whatever the system's code page.
inline std::wstring WideFileBesideModule(HMODULE module, const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    return slash ? std::wstring(path, static_cast<std::size_t>(slash + 1 - path)) + name : std::wstring();
}
