#pragma once
// Whether only administrators can change a program's place. A program that starts elevated
// without a prompt (the sign-in task) may only be started from files and folders that no one
// else can write, replace, rename or re-permission: otherwise any program of the user could
// put its own code there and have it run with administrator rights at the next sign-in.
//
// Trusted are Administrators, SYSTEM and TrustedInstaller; any right that could change the
// object granted to any other account (the user's own, Authenticated Users, Everyone, ...)
// fails it. The decision is a pure function of the security descriptor, so that it can be
// tested on descriptors of real Windows folders; gathering them from the file system is the
// one step that asks the system.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

enum class ProtectedRole {
    // The program's folder: no files added, none deleted or replaced, not renamed.
    ProgramFolder,
    // Vorlund.exe and VelComn.dll: not written, not replaced.
    ProgramFile,
    // Every folder above the program's: the way down to it cannot be renamed or deleted.
    FolderAbove,
};

// The object's owner must be trusted (an owner may always rewrite the permissions), and no
// entry that applies to the object itself may grant another account a right the role forbids,
// unless an earlier deny entry for that account or for Everyone takes it back. A missing or
// NULL permission list (everyone may do everything) fails.
bool OnlyAdministratorsCanChange(PSECURITY_DESCRIPTOR descriptor, ProtectedRole role);

// The folder as the file system really has it, links and junctions followed, without the
// "\\?\" prefix; empty when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& folder);

// Whether one object (file or folder) is protected for its role; the file system's answer is
// OnlyAdministratorsCanChange of the object's descriptor.
using ObjectProtection = std::function<bool(const std::wstring& path, ProtectedRole role)>;

// The program's folder (a final path: see FinalPathOf), the given files in it and every folder
// above up to the drive's root. A network path or an object whose permissions cannot be read
// fails. objectProtected stands in for the file system in tests.
bool IsPlaceProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& fileNames);
bool IsPlaceProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& fileNames,
                      const ObjectProtection& objectProtected);

// Whether files of the folder may be read and deleted by name with administrator rights:
// neither the folder nor one above it is a link or junction (no name in it leads elsewhere),
// and IsPlaceProtected holds for it (so none can become one afterwards). The setup asks this
// of a folder it did not choose, such as an older installation's.
bool IsFolderSafeToTouch(const std::wstring& folder);
