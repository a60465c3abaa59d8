#include "win/FileSwap.h"

#include "win/UniqueHandle.h"

namespace {
bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameName(const std::wstring& left, const std::wstring& right) {
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

enum class Leftover { None, Staged, Backup };

// "<target>.new" (earlier versions), "<target>.<digits>.new" or "<target>.<digits>.old", and
// nothing else: the setup's and the conversion's "<target>.bak" and "<target>.<n>.bak" are
// the user's to keep, never taken back.
Leftover KindOf(const std::wstring& name, const std::wstring& targetName) {
    const std::wstring prefix = targetName + L".";
    if (name.size() <= prefix.size() || !SameName(name.substr(0, prefix.size()), prefix)) return Leftover::None;
    const std::wstring rest = name.substr(prefix.size());
    if (SameName(rest, L"new")) return Leftover::Staged;
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= L'0' && rest[digits] <= L'9') ++digits;
    if (digits == 0) return Leftover::None;
    const std::wstring suffix = rest.substr(digits);
    if (SameName(suffix, L".new")) return Leftover::Staged;
    if (SameName(suffix, L".old")) return Leftover::Backup;
    return Leftover::None;
}

struct Candidate {
    std::wstring path;
    std::wstring name;
    FILETIME written{};
};

bool IsNewer(const WIN32_FIND_DATAW& found, const Candidate& than) {
    const LONG order = ::CompareFileTime(&found.ftLastWriteTime, &than.written);
    return than.path.empty() || order > 0 || (order == 0 && found.cFileName > than.name);
}

// The newest of each kind. Several backups are left only by several swaps cut off, each of
// them once the settings file: the newest was in place last, so it holds what the user saw
// last. The file names give their order only within one process, the write times across them.
struct Leftovers {
    Candidate backup;
    Candidate staged;
};

Leftovers FindLeftovers(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    const std::wstring targetName = target.substr(folder.size());
    Leftovers found;
    WIN32_FIND_DATAW data{};
    // One pattern in the program's own folder; the names found are checked whole, since a
    // pattern also matches short (8.3) names.
    UniqueFindHandle search(
        ::FindFirstFileExW((target + L".*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!search) return found;
    do {
        // Plain files only: never a folder, nor a link that would lead anywhere else.
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const Leftover kind = KindOf(data.cFileName, targetName);
        if (kind == Leftover::None) continue;
        Candidate& slot = kind == Leftover::Backup ? found.backup : found.staged;
        if (IsNewer(data, slot)) slot = {folder + data.cFileName, data.cFileName, data.ftLastWriteTime};
    } while (::FindNextFileW(search.Get(), &data));
    return found;
}
}  // namespace

SwapNames SwapNamesFor(const std::wstring& target, DWORD processId) {
    const std::wstring stem = target + L"." + std::to_wstring(processId);
    return {stem + L".new", stem + L".old"};
}

Placement PutFileInPlace(const SwapNames& names, const std::wstring& target) {
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const bool targetThere = Exists(target);
    // A backup left by an earlier process of the same id is not needed while the target is
    // there.
    if (targetThere) ::DeleteFileW(names.backup.c_str());
    // ReplaceFileW can stop after it has moved the old file away (a virus scanner holding the
    // new one is enough): with a backup name the old file is then under that name, never
    // under one nobody knows. The move finishes what it left, and serves where it is missing.
    const bool placed = (targetThere && ::ReplaceFileW(target.c_str(), names.staged.c_str(), names.backup.c_str(),
                                                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) ||
                        ::MoveFileExW(names.staged.c_str(), target.c_str(), kMove);
    if (placed) {
        ::DeleteFileW(names.backup.c_str());
        return Placement::Placed;
    }
    // Neither worked: the old file back where it was, never over a file that appeared meanwhile.
    if (!Exists(target) && Exists(names.backup))
        ::MoveFileExW(names.backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    // Without a target, what is left may be the only copy: kept for the next start.
    if (!Exists(target)) return Placement::SetAside;
    ::DeleteFileW(names.staged.c_str());
    ::DeleteFileW(names.backup.c_str());
    return Placement::Unchanged;
}

bool IsSetAside(const std::wstring& target) {
    if (Exists(target)) return false;
    const Leftovers left = FindLeftovers(target);
    return !left.backup.path.empty() || !left.staged.path.empty();
}

bool RecoverHalfDoneSwap(const std::wstring& target) {
    if (Exists(target)) return true;
    // The backup first: it was the file in place, whole, until the swap began. A new file is
    // taken only where there is none: left by a swap of an earlier version, which gave no
    // backup name, or by one where there was no file yet.
    const Leftovers left = FindLeftovers(target);
    const std::wstring& from = left.backup.path.empty() ? left.staged.path : left.backup.path;
    if (from.empty()) return true;
    // Never over a file another copy of the program put there meanwhile.
    return ::MoveFileExW(from.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) || Exists(target);
}
