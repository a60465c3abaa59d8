#pragma once
// Whole texts of controls and drops in the program's code page, however long. Fixed buffers
// would cut them: an edit's limit counts characters, and a dropped path may need more than
// MAX_PATH bytes in code page 932.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

// The window's text converted to the ANSI code page.
std::string WindowTextOf(HWND window);
// The window's text as Windows has it, before any conversion.
std::wstring WideWindowTextOf(HWND window);

// The program's CP932 texts shown through the wide calls, so that they read the same on a
// Japanese, an English or any other Windows.
void SetWindowTextCp932(HWND window, const std::string& text);
int MessageBoxCp932(HWND owner, const std::string& text, const std::string& caption, UINT type);
// A box whose text is wide already (it names something code page 932 cannot hold).
int MessageBoxWide(HWND owner, const std::wstring& text, const std::string& caption, UINT type);

// Between the program's ANSI code page (932) and the system's wide strings, whole.
std::string AnsiFromWide(const std::wstring& wide);
std::wstring WideFromAnsi(const std::string& text);

// The path of the one file dropped, as Windows has it; nullopt when none or several were
// dropped.
std::optional<std::wstring> SingleDroppedPath(HDROP drop);
