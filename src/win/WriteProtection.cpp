#include "win/WriteProtection.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

namespace {
constexpr wchar_t kTrustedInstaller[] = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

DWORD ForbiddenRights(ProtectedRole role) noexcept {
    constexpr DWORD kPermissions = DELETE | WRITE_DAC | WRITE_OWNER;
    switch (role) {
        case ProtectedRole::ProgramFolder:
            return kPermissions | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_DELETE_CHILD;
        case ProtectedRole::ProgramFile: return kPermissions | FILE_WRITE_DATA | FILE_APPEND_DATA;
        case ProtectedRole::FolderAbove: return kPermissions | FILE_DELETE_CHILD;
    }
    return kPermissions;
}

// Generic rights as the file system maps them.
DWORD MappedRights(DWORD mask) noexcept {
    if (mask & GENERIC_ALL) mask |= FILE_ALL_ACCESS;
    if (mask & GENERIC_WRITE) mask |= FILE_GENERIC_WRITE;
    return mask;
}

class TrustedAccounts {
public:
    TrustedAccounts() {
        for (WELL_KNOWN_SID_TYPE type : {WinBuiltinAdministratorsSid, WinLocalSystemSid}) Add(WellKnown(type));
        m_everyone = WellKnown(WinWorldSid);
        PSID installer = nullptr;
        if (::ConvertStringSidToSidW(kTrustedInstaller, &installer)) {
            const auto* bytes = static_cast<const BYTE*>(installer);
            Add(std::vector<BYTE>(bytes, bytes + ::GetLengthSid(installer)));
            ::LocalFree(installer);
        }
    }
    bool IsTrusted(PSID sid) const noexcept {
        return std::any_of(m_trusted.begin(), m_trusted.end(),
                           [sid](const std::vector<BYTE>& trusted) { return Equal(sid, trusted); });
    }
    bool IsEveryone(PSID sid) const noexcept { return Equal(sid, m_everyone); }

private:
    static std::vector<BYTE> WellKnown(WELL_KNOWN_SID_TYPE type) {
        std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
        DWORD size = SECURITY_MAX_SID_SIZE;
        if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) return {};
        sid.resize(size);
        return sid;
    }
    static bool Equal(PSID sid, const std::vector<BYTE>& other) noexcept {
        return !other.empty() && ::EqualSid(sid, const_cast<BYTE*>(other.data()));
    }
    void Add(std::vector<BYTE> sid) {
        if (!sid.empty()) m_trusted.push_back(std::move(sid));
    }
    std::vector<std::vector<BYTE>> m_trusted;
    std::vector<BYTE> m_everyone;
};

// What earlier deny entries took back from one account.
struct DeniedRights {
    PSID sid;
    DWORD mask;
};

DWORD DeniedTo(const std::vector<DeniedRights>& denied, PSID sid) noexcept {
    DWORD mask = 0;
    for (const DeniedRights& entry : denied)
        if (::EqualSid(entry.sid, sid)) mask |= entry.mask;
    return mask;
}

}  // namespace

std::wstring FinalPathOf(const std::wstring& folder) {
    HANDLE handle = ::CreateFileW(folder.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = ::GetFinalPathNameByHandleW(handle, path, MAX_PATH * 4, VOLUME_NAME_DOS);
    ::CloseHandle(handle);
    if (length == 0 || length >= MAX_PATH * 4) return {};
    std::wstring result(path, length);
    if (result.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + result.substr(8);
    if (result.rfind(L"\\\\?\\", 0) == 0) result.erase(0, 4);
    return result;
}

namespace {
bool ObjectIsProtected(const std::wstring& path, ProtectedRole role) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool result = OnlyAdministratorsCanChange(descriptor, role);
    ::LocalFree(descriptor);
    return result;
}
}  // namespace

bool OnlyAdministratorsCanChange(PSECURITY_DESCRIPTOR descriptor, ProtectedRole role) {
    if (!descriptor) return false;
    const TrustedAccounts accounts;
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted) || !owner || !accounts.IsTrusted(owner))
        return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl) return false;

    const DWORD forbidden = ForbiddenRights(role);
    DWORD deniedToEveryone = 0;
    std::vector<DeniedRights> denied;
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        if (!::GetAce(dacl, index, &entry)) return false;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        // Inherit-only entries (CREATOR OWNER's, say) apply to what is created below, not here.
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        switch (header->AceType) {
            case ACCESS_DENIED_ACE_TYPE: {
                const auto* ace = static_cast<const ACCESS_DENIED_ACE*>(entry);
                PSID sid = const_cast<DWORD*>(&ace->SidStart);
                const DWORD mask = MappedRights(ace->Mask);
                if (accounts.IsEveryone(sid)) deniedToEveryone |= mask;
                denied.push_back(DeniedRights{sid, mask});
                break;
            }
            case ACCESS_ALLOWED_ACE_TYPE:
            case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
                const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
                PSID sid = const_cast<DWORD*>(&ace->SidStart);
                if (accounts.IsTrusted(sid)) break;
                const DWORD granted = MappedRights(ace->Mask) & ~deniedToEveryone & ~DeniedTo(denied, sid);
                if (granted & forbidden) return false;
                break;
            }
            case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
            case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
                // Not used on files; where it stands, it is taken at its word for anyone.
                if (MappedRights(static_cast<const ACCESS_ALLOWED_OBJECT_ACE*>(entry)->Mask) & forbidden)
                    return false;
                break;
            default:
                // Audit, label and deny-callback entries grant nothing.
                break;
        }
    }
    return true;
}

bool IsPlaceProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& fileNames) {
    return IsPlaceProtected(finalFolder, fileNames, &ObjectIsProtected);
}

bool IsPlaceProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& fileNames,
                      const ObjectProtection& objectProtected) {
    std::wstring path = finalFolder;
    // A drive letter and its root: a network share's permissions are its server's to give.
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') return false;
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    if (!objectProtected(path, ProtectedRole::ProgramFolder)) return false;
    const std::wstring prefix = path + L'\\';
    if (!std::all_of(fileNames.begin(), fileNames.end(), [&](const std::wstring& name) {
            return objectProtected(prefix + name, ProtectedRole::ProgramFile);
        }))
        return false;
    while (path.size() > 3) {
        const std::size_t slash = path.rfind(L'\\');
        path.erase(slash == 2 ? 3 : slash);
        if (!objectProtected(path, ProtectedRole::FolderAbove)) return false;
    }
    return true;
}

bool IsFolderSafeToTouch(const std::wstring& folder) {
    return IsPlaceProtected(folder, {}, [](const std::wstring& path, ProtectedRole role) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               ObjectIsProtected(path, role);
    });
}
