#include "browser/DefaultBrowser.h"

#include <shellapi.h>

#include <cstring>

void DetectDefaultBrowser(const char* appDir, char (&path)[kBrowserPathSize]) {
    char probe[256] = {};
    const std::size_t dirLength = appDir ? std::strlen(appDir) : 0;
    // The directory and the file name must fit together: a cut path would name some other
    // file, which we would then create and delete.
    if (dirLength == 0 || dirLength + sizeof kBrowserProbeFileName > sizeof probe) return;
    // The file name's own terminator, copied next, ends the path.
    std::memcpy(probe, appDir, dirLength);  // NOLINT(bugprone-not-null-terminated-result)
    std::memcpy(probe + dirLength, kBrowserProbeFileName, sizeof kBrowserProbeFileName);

    // OPEN_ALWAYS: an existing file of that name is opened, not truncated.
    HANDLE file = ::CreateFileA(probe, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(file);

    char found[kBrowserPathSize] = {};
    ::FindExecutableA(kBrowserProbeFileName, appDir, found);
    ::lstrcpynA(path, found, kBrowserPathSize);
    ::DeleteFileA(probe);
}

UniqueIcon LoadBrowserIcon(const char* path) {
    // Without a browser the shell would answer for the empty path with a folder icon, which
    // web links would then show: no icon is the honest answer.
    if (!path || path[0] == '\0') return UniqueIcon();
    // The browser is a program: the shell's icon for it is its first icon resource, at the
    // large size. Read directly, without the shell's icon cache and image lists, which would
    // stay loaded in this resident program for good.
    HICON large = nullptr;
    if (::ExtractIconExA(path, 0, &large, nullptr, 1) > 0 && large) return UniqueIcon(large);
    // A program without icons of its own: the shell gives its generic program icon.
    SHFILEINFOA info{};
    ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON);
    return UniqueIcon(info.hIcon);
}
