// The resources the built program carries: manifest, icon, strings, menu.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <utility>

#include "Artifacts.h"
#include "res/resource.h"

namespace {
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = ::LoadLibraryExA(Artifacts::Get().vorlund.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override {
        if (m_module) ::FreeLibrary(m_module);
    }
    std::string Resource(LPCSTR type, LPCSTR name) const {
        HRSRC found = ::FindResourceA(m_module, name, type);
        if (!found) return {};
        HGLOBAL loaded = ::LoadResource(m_module, found);
        return std::string(static_cast<const char*>(::LockResource(loaded)),
                           ::SizeofResource(m_module, found));
    }
    std::string String(UINT id) const {
        char buffer[256] = {};
        ::LoadStringA(m_module, id, buffer, sizeof buffer);
        return buffer;
    }
    HMODULE m_module = nullptr;
};

TEST_F(ProgramResources, ManifestAsksForCommonControls6AndAdministrator) {
    const std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty());
    // Both the program's identity and the common-controls dependency name the build's own
    // architecture; Windows refuses a 64-bit program that asks for the X86 common controls.
#ifdef _WIN64
    const std::string arch = "processorArchitecture=\"amd64\"";
#else
    const std::string arch = "processorArchitecture=\"X86\"";
#endif
    const size_t first = manifest.find(arch);
    ASSERT_NE(first, std::string::npos) << arch;
    EXPECT_NE(manifest.find(arch, first + 1), std::string::npos) << "common controls: " << arch;
    EXPECT_EQ(manifest.find("processorArchitecture=", manifest.find(arch, first + 1) + 1),
              std::string::npos) << "no third architecture";
    for (const char* part :
         {"version=\"2.0.1.0\"", "type=\"win32\"",
          "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
          "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"",
          "level=\"requireAdministrator\"", "uiAccess=\"false\"",
          // Crisp on today's displays: per-monitor DPI aware, the newest way first.
          ">true/pm</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    // The description is UTF-8 in the manifest.
    EXPECT_NE(manifest.find("<description>\xE3\x81\x8A\xE6\xB0\x97\xE3\x81\xAB"),
              std::string::npos);
}

TEST_F(ProgramResources, StringsAndIconImages) {
    EXPECT_EQ(String(IDS_APP_TITLE), "Brisolt");
    EXPECT_EQ(String(IDR_MAINFRAME), "Vorlund");
    EXPECT_EQ(String(IDM_SETTINGS), "お気に入り設定\n設定");
    for (int size : {16, 20, 24, 32, 48}) {
        HICON icon = static_cast<HICON>(::LoadImageA(m_module, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                     IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bitmap{};
        ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
    const std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(group[4]), 5u) << "16, 20, 24, 32 and 48 pixels";
}

TEST_F(ProgramResources, MenuHoldsTheTrayCommands) {
    HMENU menu = ::LoadMenuA(m_module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    ::GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "ﾌｧｲﾙ(&F)");
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_EQ(::GetMenuItemCount(popup), 6);
    // The keys at a glance second; every other item and access key as it was.
    const std::pair<UINT, const char*> items[] = {{IDM_SETTINGS, "設定(&S)"},
                                                  {IDM_SHOW_KEYS, "キーの早見表(&K)"},
                                                  {ID_APP_ABOUT, "バージョン情報(&A)..."},
                                                  {IDM_START_AT_SIGNIN, "ログオン時に起動(&L)"},
                                                  {0, ""},
                                                  {ID_APP_EXIT, "終了(&X)"}};
    for (int position = 0; position < 6; ++position) {
        const auto& [id, name] = items[position];
        if (!id) continue;  // the separator
        EXPECT_EQ(::GetMenuItemID(popup, position), id);
        ::GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, name);
    }
    ::DestroyMenu(menu);
}

// A built image mapped as an image (sections at their addresses), never run.
class MappedImage {
public:
    explicit MappedImage(const std::string& path)
        : m_module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE)) {}
    ~MappedImage() {
        if (m_module) ::FreeLibrary(m_module);
    }
    const IMAGE_DATA_DIRECTORY& Directory(int index) const {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base());
        return reinterpret_cast<const IMAGE_NT_HEADERS*>(Base() + dos->e_lfanew)->OptionalHeader.DataDirectory[index];
    }
    // The DLLs the image imports at load time, in lower case.
    std::set<std::string> ImportedDlls() const {
        std::set<std::string> names;
        const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
            Base() + Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
        for (; entry->Name != 0; ++entry) {
            std::string name = reinterpret_cast<const char*>(Base() + entry->Name);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            names.insert(name);
        }
        return names;
    }

private:
    // The handle of a module mapped as a resource carries flags in its low bits.
    const BYTE* Base() const { return reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(m_module) & ~ULONG_PTR{3}); }
    HMODULE m_module;
};

// The elevated program imports nothing that Windows would look for in the program's own
// folder first: only known DLLs, always taken from the system (a DLL outside them, planted
// beside the program, would run with administrator rights before the program's first line).
// And only what start-up needs: the common controls and COM, which only the dialogs, the
// capture and the shell's objects use, are loaded on their first call.
TEST(ProgramImage, ImportsOnlyKnownDllsThatStartUpNeeds) {
    const std::pair<std::string, std::set<std::string>> images[] = {
        {Artifacts::Get().vorlund,
         {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "shell32.dll", "user32.dll"}},
        {Artifacts::Get().hookLibrary, {"kernel32.dll", "user32.dll"}}};
    for (const auto& [image, allowed] : images) {
        const std::set<std::string> imports = MappedImage(image).ImportedDlls();
        EXPECT_TRUE(imports.count("kernel32.dll")) << image << ": the import table was not read";
        for (const std::string& dll : imports) EXPECT_TRUE(allowed.count(dll)) << image << " imports " << dll;
    }
}

// The hook procedure calls out of the library; on x64 Windows stack walks and exceptions
// that pass through it need its unwind data.
TEST(ProgramImage, HookLibraryCarriesUnwindDataOn64Bit) {
#ifdef _WIN64
    const MappedImage library(Artifacts::Get().hookLibrary);
    EXPECT_GE(library.Directory(IMAGE_DIRECTORY_ENTRY_EXCEPTION).Size, 2 * sizeof(RUNTIME_FUNCTION)) << "at least DllMain and the hook procedure";
#else
    GTEST_SKIP() << "x86 code unwinds through frame chains, not tables";
#endif
}
}  // namespace
