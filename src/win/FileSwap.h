#pragma once
// Putting a finished file in place of another in one step, and finding the file again when
// that step was cut off half-way.
//
// The new file is written beside the target as "<target>.<process id>.new", and the swap moves
// the old file to "<target>.<process id>.old" on its way out, so that the old file has a name
// the program knows at every moment of the swap. Both names are the process's own: copies of
// the program in two Windows sessions never write into each other's file, and no save has to
// wait for another.
#include <windows.h>

#include <string>

struct SwapNames {
    std::wstring staged;  // the new file, written whole before the swap
    std::wstring backup;  // the old file while the swap runs; gone once it has ended
};

SwapNames SwapNamesFor(const std::wstring& target, DWORD processId = ::GetCurrentProcessId());

enum class Placement {
    Placed,     // staged is the target now; nothing else is left
    Unchanged,  // the target is as it was, and staged is gone
    SetAside,   // there is no target: the swap stopped half-way and could not be undone. The
                // old file (under backup) or the new one (staged) is kept for
                // RecoverHalfDoneSwap
};

// ReplaceFileW where the target is there (it keeps the target's security and attributes), else
// a write-through move.
Placement PutFileInPlace(const SwapNames& names, const std::wstring& target);

// Whether the target is missing while a swap left its content under one of the names above, or
// under "<target>.new" (where earlier versions of the program staged it): nothing may then be
// written as the target, since the next start takes the content back.
bool IsSetAside(const std::wstring& target);

// Where the target is missing, puts back what a half-done swap left: the newest backup, else
// the newest new file. Returns false where one was left and could not be put back.
bool RecoverHalfDoneSwap(const std::wstring& target);
