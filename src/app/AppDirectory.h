#pragma once
// The directory of the program, computed from its module path: drive and directory, ending
// with a backslash.

#include <string>

// Size of the directory buffer, terminator included.
constexpr int kAppDirSize = 261;

// Fills appDir from a module path such as C:\Tools\Vorlund.exe or \\server\share\Vorlund.exe.
// The path is walked a whole CP932 character at a time, so a trail byte 0x5C is never taken
// for a backslash. Returns false, leaving appDir empty, when the path has no directory part
// or the directory does not fit.
bool AppDirectoryFromModulePath(const char* modulePath, char (&appDir)[kAppDirSize]) noexcept;

// The directory of the running program, from its wide path: as it is when code page 932
// holds it exactly, else its short (8.3) form, which names the same folder. A best-fit form
// ("José" as "Jose") could be another folder, someone else's: never. Returns false, leaving
// appDir empty and the folder as Windows names it in *unusable, when neither form can be had
// or the directory does not fit the buffer.
bool AppDirectoryOfModule(void* module, char (&appDir)[kAppDirSize], std::wstring* unusable = nullptr);
