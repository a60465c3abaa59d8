#pragma once
// Whole-file reads and writes, the new file of a save forced to the disk before it is put in
// place (FileSwap), so that a save cut off at any moment (a crash, a forced shutdown, a power
// cut) leaves either the old file or the new one, whole.
#include <windows.h>

#include <optional>
#include <string>

enum class FileRead {
    Read,       // bytes hold the whole file
    Missing,    // there is no such file
    Failed,     // there is one, but it could not be read (held by another program, too large)
};

struct WholeFile {
    FileRead result = FileRead::Failed;
    std::string bytes;
};

// At most maxBytes; a larger file is Failed.
WholeFile ReadWholeFile(const std::wstring& path, DWORD maxBytes);

// creation: CREATE_ALWAYS, or CREATE_NEW where a file of that name is somebody's to keep. The
// bytes are on the disk when it returns true.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD creation = CREATE_ALWAYS);

// What other calls (the private-profile functions) wrote to the file, forced to the disk.
bool FlushFileToDisk(const std::wstring& path);
