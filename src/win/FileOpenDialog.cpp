#include "win/FileOpenDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"

std::string SystemFilterFrom(const char* filter) {
    std::string result = filter ? filter : "";
    while (!result.empty() && result.back() == '|') result.pop_back();
    std::replace(result.begin(), result.end(), '|', '\0');
    // Each string ends with a terminator, the list with one more.
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

std::optional<std::string> ShowFileOpenDialog(HWND parent, const char* filter, DWORD flags) {
    const std::string systemFilter = SystemFilterFrom(filter);
    std::vector<char> file(MAX_PATH * 2, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = parent;
    ofn.lpstrFilter = systemFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = flags;
    // The common dialogs are loaded only when the user browses.
    using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEA);
    UniqueModule comdlg32 = LoadSystemLibrary("comdlg32.dll");
    auto getOpenFileName = GetProcAs<GetOpenFileNameProc>(comdlg32.Get(), "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return std::nullopt;
    return std::string(file.data());
}
