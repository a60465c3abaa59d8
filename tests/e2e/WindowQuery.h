#pragma once
// Reading another process's windows from outside: which top-level windows it has, their
// texts and classes, message boxes and their texts. Texts are read wide, as Unicode, and given
// in code page 932 like the program's own, so that they compare the same on every system.
#include <windows.h>

#include <string>
#include <vector>

// Top-level windows of the process, hidden ones included.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
std::vector<HWND> ChildWindowsOf(HWND parent);
std::string WindowText(HWND hwnd);
// Wide text in code page 932; a character 932 cannot hold becomes "?".
std::string Cp932OfWide(const std::wstring& wide);
std::string ClassNameOf(HWND hwnd);

// The program's hidden frame: a top-level window titled "Vorlund" that is not a dialog.
HWND FindFrameWindow(DWORD processId);
// The visible dialog-class windows of the process (message boxes and dialogs), but `except`.
std::vector<HWND> VisibleDialogsOf(DWORD processId, HWND except = nullptr);
// A visible dialog-class window of the process (a message box or a dialog), or null.
HWND FindDialogWindow(DWORD processId);
// The visible top-level window of the process with this title, of any class, or null.
HWND FindVisibleWindowTitled(DWORD processId, const std::string& title);
// The visible top-level window of the process of this class ("#32768": a popup menu), or null.
HWND FindVisibleWindowOfClass(DWORD processId, const std::string& className);
// The visible dialog of the process with this title, or null.
HWND FindDialogTitled(DWORD processId, const std::string& title);
// The image a key button shows, or null when it shows none: a key without a picture carries
// its dialog's one blank icon, known as the image of a key (noLink) that has neither link nor
// warning sign.
HICON KeyImage(HWND button, HWND noLink);
// The message text of a message box: the texts of its static controls, joined.
std::string MessageBoxText(HWND box);
