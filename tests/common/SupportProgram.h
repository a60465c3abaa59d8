#pragma once
// Test doubles built beside the unit tests (support\ next to the test program), started and
// found from the test.
#include <windows.h>

#include <cstring>
#include <string>

#include "common/FileText.h"

// The path of a support program: beside the unit tests in support\, or for
// multi-configuration builds in ..\support\<configuration>\. Empty when it is not there.
inline std::string SupportProgramPath(const char* fileName) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string dir(path, std::strrchr(path, '\\'));
    const std::string besides = dir + "\\support\\" + fileName;
    if (FileExists(besides)) return besides;
    const std::size_t slash = dir.rfind('\\');
    const std::string configured = dir.substr(0, slash) + "\\support" + dir.substr(slash) + "\\" + fileName;
    return FileExists(configured) ? configured : std::string();
}

struct ProcessWindowSearch {
    DWORD pid;
    const char* title;
    HWND found;
};

// A named callback, not a lambda: the 32-bit build needs the stdcall convention.
inline BOOL CALLBACK MatchProcessWindowTitled(HWND hwnd, LPARAM lParam) {
    auto* wanted = reinterpret_cast<ProcessWindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char text[64] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (owner != wanted->pid || std::strcmp(text, wanted->title) != 0) return TRUE;
    wanted->found = hwnd;
    return FALSE;
}

// The top-level window of the process with exactly this title, or null.
inline HWND FindProcessWindowTitled(DWORD pid, const char* title) {
    ProcessWindowSearch search{pid, title, nullptr};
    ::EnumWindows(&MatchProcessWindowTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
