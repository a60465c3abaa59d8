#pragma once
// A drop handle as the shell builds it for files dragged from Explorer, for tests that drop
// files on our windows in-process (a drop handle is valid only in its own process).
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

// Narrow names (the program's CP932) as an old program drops them, or wide ones as Explorer
// does, which may hold any character.
template <typename Char>
HDROP MakeDrop(const std::vector<std::basic_string<Char>>& files) {
    std::size_t size = sizeof(DROPFILES) + sizeof(Char);
    for (const auto& file : files) size += (file.size() + 1) * sizeof(Char);
    HGLOBAL memory = ::GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = sizeof(Char) == sizeof(wchar_t);
    auto* names = reinterpret_cast<Char*>(drop + 1);
    for (const auto& file : files) {
        std::memcpy(names, file.c_str(), (file.size() + 1) * sizeof(Char));
        names += file.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}
inline HDROP MakeDrop(const std::vector<std::string>& files) { return MakeDrop<char>(files); }
inline HDROP MakeWideDrop(const std::vector<std::wstring>& files) { return MakeDrop<wchar_t>(files); }
