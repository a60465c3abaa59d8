#include "browser/DefaultBrowser.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "win/CodePage932.h"

void DetectDefaultBrowser(const char* appDir, char (&path)[kBrowserPathSize]) {
    char probe[256] = {};
    const std::size_t dirLength = appDir ? std::strlen(appDir) : 0;
    // The directory and the file name must fit together: a cut path would name some other
    // file, which we would then create and delete.
    if (dirLength == 0 || dirLength + sizeof kBrowserProbeFileName > sizeof probe) return;
    // The file name's own terminator, copied next, ends the path.
    std::memcpy(probe, appDir, dirLength);  // NOLINT(bugprone-not-null-terminated-result)
    std::memcpy(probe + dirLength, kBrowserProbeFileName, sizeof kBrowserProbeFileName);

    // The paths go to the system wide, so that a folder with a Japanese name is found on a
    // system of any code page. OPEN_ALWAYS: an existing file of that name is opened, not
    // truncated.
    const std::wstring wideProbe = WideFromCp932(probe);
    HANDLE file = ::CreateFileW(wideProbe.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(file);

    wchar_t found[MAX_PATH] = {};
    ::FindExecutableW(WideFromCp932(kBrowserProbeFileName).c_str(), WideFromCp932(appDir).c_str(), found);
    // A browser whose path code page 932 cannot hold, or not within the buffer, counts as none:
    // a path with a stand-in character, or cut short, would name some other file.
    const Cp932Text browser = Cp932FromWide(found);
    if (browser.Exact() && browser.text.size() < static_cast<std::size_t>(kBrowserPathSize))
        std::memcpy(path, browser.text.c_str(), browser.text.size() + 1);
    ::DeleteFileW(wideProbe.c_str());
}

UniqueIcon LoadBrowserIcon(const char* path) {
    // Without a browser the shell would answer for the empty path with a folder icon, which
    // web links would then show: no icon is the honest answer.
    if (!path || path[0] == '\0') return UniqueIcon();
    // The browser is a program: the shell's icon for it is its first icon resource, at the
    // large size. Read directly, without the shell's icon cache and image lists, which would
    // stay loaded in this resident program for good.
    const std::wstring widePath = WideFromCp932(path);
    HICON large = nullptr;
    if (::ExtractIconExW(widePath.c_str(), 0, &large, nullptr, 1) > 0 && large) return UniqueIcon(large);
    // A program without icons of its own: the shell gives its generic program icon.
    SHFILEINFOW info{};
    ::SHGetFileInfoW(widePath.c_str(), 0, &info, sizeof info, SHGFI_ICON);
    return UniqueIcon(info.hIcon);
}
