#include "win/FileOpenDialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "win/CodePage932.h"
#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"

std::wstring SystemFilterFrom(const char* filter) {
    std::wstring result = WideFromCp932(filter ? filter : "");
    while (!result.empty() && result.back() == L'|') result.pop_back();
    std::replace(result.begin(), result.end(), L'|', L'\0');
    // Each string ends with a terminator, the list with one more.
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

std::optional<std::wstring> ShowFileOpenDialog(HWND parent, const char* filter, DWORD flags) {
    const std::wstring systemFilter = SystemFilterFrom(filter);
    // Long paths and their wide characters: the system's own limit for this dialog.
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = parent;
    ofn.lpstrFilter = systemFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = flags;
    // The common dialogs are loaded only when the user browses.
    using GetOpenFileNameProc = BOOL(WINAPI*)(LPOPENFILENAMEW);
    UniqueModule comdlg32 = LoadSystemLibrary("comdlg32.dll");
    auto getOpenFileName = GetProcAs<GetOpenFileNameProc>(comdlg32.Get(), "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return std::nullopt;
    return std::wstring(file.data());
}

std::optional<std::wstring> ShowFolderDialog(HWND parent, const char* title) {
    const std::wstring wideTitle = WideFromCp932(title ? title : "");
    BROWSEINFOW info{};
    info.hwndOwner = parent;
    info.lpszTitle = wideTitle.c_str();
    // The classic tree, which needs no OLE apartment of the dialog's thread.
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen) return std::nullopt;
    std::vector<wchar_t> path(32768, L'\0');
    const bool isFolder = ::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    ::ILFree(chosen);
    if (!isFolder || path[0] == L'\0') return std::nullopt;
    return std::wstring(path.data());
}
