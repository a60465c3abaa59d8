#pragma once
// The system's file-open dialog.
#include <windows.h>

#include <optional>
#include <string>

// Shows the dialog. filter is written the framework's way, "description|pattern|...||".
// Returns the chosen file's full path as Windows has it, or nothing when the user cancelled.
std::optional<std::wstring> ShowFileOpenDialog(HWND parent, const char* filter, DWORD flags);

// "a|b||" (CP932) → L"a\0b\0\0", the form the system expects.
std::wstring SystemFilterFrom(const char* filter);

// The system's folder browser, with the title above the folders (CP932). Returns the chosen
// folder's path as Windows has it, or nothing when the user cancelled or chose no folder of
// the file system.
std::optional<std::wstring> ShowFolderDialog(HWND parent, const char* title);
