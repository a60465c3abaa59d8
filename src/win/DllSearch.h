#pragma once
// The program runs elevated: a library it loads by name must never come from the current
// directory or a PATH folder, where an unelevated program could have planted it.

// Limits the library search of the whole process to the program's own directory and
// System32 (SetDefaultDllDirectories, from Windows 8 and on Windows 7 with KB2533623); on
// older systems at least takes the current directory out of it. Call first thing at start.
void RestrictDllSearchPath() noexcept;
