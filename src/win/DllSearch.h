#pragma once
// The program runs elevated: a library it loads by name must never come from a folder an
// unelevated program can write, such as the current directory, a PATH folder or the program's
// own folder when it was copied somewhere the user can change.

// Limits the library search of the whole process to System32 (SetDefaultDllDirectories, from
// Windows 8 and on Windows 7 with KB2533623), for the program's own loads and for those the
// system's libraries make on its behalf. Libraries of the program's own (VelComn.dll) are
// loaded by full path. On older systems at least takes the current directory out of the
// search. Call first thing at start.
void RestrictDllSearchPath() noexcept;
