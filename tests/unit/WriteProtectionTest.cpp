// Whether only administrators can change a program's place, decided on the permissions of
// real Windows folders written as SDDL.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "common/ScratchDirectory.h"
#include "win/WriteProtection.h"

namespace {
#define TI L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
#define USER L"S-1-5-21-1004336348-1177238915-682003330-1001"

struct Case {
    const wchar_t* what;
    const wchar_t* sddl;
    ProtectedRole role;
    bool protectedPlace;
};

const Case kCases[] = {
    {L"Program Files as Windows has it", L"O:" TI L"G:" TI L"D:PAI(A;;FA;;;" TI L")(A;CIIO;GA;;;" TI
     L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)"
     L"(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)(A;OICIIO;GXGR;;;AC)",
     ProtectedRole::FolderAbove, true},
    {L"a folder the setup made in Program Files", L"O:BAD:AI(A;ID;FA;;;" TI L")(A;ID;0x1301bf;;;SY)"
     L"(A;ID;0x1301bf;;;BA)(A;ID;0x1200a9;;;BU)(A;OICIIOID;GA;;;CO)", ProtectedRole::ProgramFolder, true},
    {L"the installed program file", L"O:BAD:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)",
     ProtectedRole::ProgramFile, true},
    {L"C:\\ with its create-folders grant to Authenticated Users",
     L"O:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICIIO;SDGXGWGR;;;AU)(A;;0x4;;;AU)",
     ProtectedRole::FolderAbove, true},
    {L"C:\\Tools, inheriting Modify for Authenticated Users from C:\\",
     L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)",
     ProtectedRole::FolderAbove, false},
    {L"the user's own profile folder", L"O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" USER L")",
     ProtectedRole::FolderAbove, false},
    {L"owned by the user, who may rewrite the permissions", L"O:" USER L"D:P(A;;FA;;;BA)(A;;0x1200a9;;;BU)",
     ProtectedRole::ProgramFile, false},
    {L"generic write for Users", L"O:BAD:(A;;GW;;;BU)(A;;FA;;;BA)", ProtectedRole::ProgramFile, false},
    {L"users may add a file beside the program", L"O:BAD:(A;;FA;;;BA)(A;;0x1200ab;;;BU)",
     ProtectedRole::ProgramFolder, false},
    {L"delete-child on a folder above", L"O:BAD:(A;;FA;;;BA)(A;;0x1200e9;;;AU)", ProtectedRole::FolderAbove,
     false},
    {L"an explicit deny for Everyone before the grant takes the writes back",
     L"O:BAD:(D;;0xd0046;;;WD)(A;;0x1301bf;;;AU)(A;;FA;;;BA)", ProtectedRole::ProgramFile, true},
    {L"an inherited deny for the same account before an inherited grant",
     L"O:BAD:AI(D;ID;0xd0046;;;AU)(A;ID;0x1301bf;;;AU)(A;ID;FA;;;BA)", ProtectedRole::ProgramFolder, true},
    {L"a deny after the grant comes too late", L"O:BAD:(A;;0x1301bf;;;AU)(D;;0xd0046;;;AU)",
     ProtectedRole::ProgramFile, false},
    {L"a deny for another account leaves the grant", L"O:BAD:(D;;FA;;;BU)(A;;0x1301bf;;;AU)",
     ProtectedRole::ProgramFile, false},
};

TEST(WriteProtection, OnlyAdministratorsSystemAndTrustedInstallerMayChangeTheProgramsPlace) {
    for (const Case& c : kCases) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(c.sddl, SDDL_REVISION_1, &descriptor,
                                                                           nullptr))
            << c.what;
        EXPECT_EQ(OnlyAdministratorsCanChange(descriptor, c.role), c.protectedPlace) << c.what;
        ::LocalFree(descriptor);
    }
    // A NULL DACL lets everyone do everything (Wine's SDDL parser does not make one).
    SECURITY_DESCRIPTOR nullDacl{};
    ::InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION);
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof administrators;
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
    ::SetSecurityDescriptorOwner(&nullDacl, administrators, FALSE);
    ::SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE);
    EXPECT_FALSE(OnlyAdministratorsCanChange(&nullDacl, ProtectedRole::ProgramFile));
}

// The walk from the program's files up to the drive's root, over descriptors the file system
// would give: one folder above the program that the user may rename fails the whole place.
TEST(WriteProtection, EveryFolderAboveTheProgramUpToTheRootIsChecked) {
    // One folder on the way down that Authenticated Users may modify, or none.
    for (const wchar_t* open : {L"", L"C:\\Apps\\Keys", L"C:\\Apps", L"C:\\"}) {
        std::vector<std::wstring> asked;
        const ObjectProtection fromSddl = [&](const std::wstring& path, ProtectedRole role) {
            asked.push_back(path);
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
                path == open ? L"O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;AU)" : L"O:BAD:(A;;FA;;;BA)(A;;0x1200a9;;;BU)",
                SDDL_REVISION_1, &descriptor, nullptr);
            const bool result = OnlyAdministratorsCanChange(descriptor, role);
            ::LocalFree(descriptor);
            return result;
        };
        EXPECT_EQ(IsPlaceProtected(L"C:\\Apps\\Keys\\Vorlund", {L"Vorlund.exe"}, fromSddl), *open == L'\0') << open;
        if (*open == L'\0') {
            EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\Apps\\Keys\\Vorlund", L"C:\\Apps\\Keys\\Vorlund\\Vorlund.exe",
                                                        L"C:\\Apps\\Keys", L"C:\\Apps", L"C:\\"}));
        }
    }
}

// Wine gives every object the user's own full control: a folder there is never a safe place,
// and a network path never is.
TEST(WriteProtection, PlacesTheUserCanChangeOrThatAreRemoteAreRefused) {
    ScratchDirectory dir("protection");
    std::wstring wide = FinalPathOf(std::wstring(dir.Path().begin(), dir.Path().end()));
    ASSERT_FALSE(wide.empty());
    EXPECT_FALSE(IsPlaceProtected(wide, {}));
    EXPECT_FALSE(IsPlaceProtected(L"\\\\server\\share\\Vorlund", {L"Vorlund.exe"}));
    EXPECT_FALSE(IsPlaceProtected(wide + L"\\missing", {}));
}
}  // namespace
