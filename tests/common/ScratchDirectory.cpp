#include "common/ScratchDirectory.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "common/FileText.h"

namespace {
std::string TempRoot() {
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(MAX_PATH, buffer);
    std::string root(buffer, length);
    while (!root.empty() && root.back() == '\\') root.pop_back();
    return root;
}
}  // namespace

ScratchDirectory::ScratchDirectory(const std::string& name, const std::string& root) {
    static std::atomic<unsigned> counter{0};
    const std::string base = root.empty() ? TempRoot() : root;
    ::CreateDirectoryA(base.c_str(), nullptr);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = base + "\\" + name + "-" +
                                      std::to_string(::GetCurrentProcessId()) + "-" +
                                      std::to_string(counter++);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory under " + base);
}

ScratchDirectory::~ScratchDirectory() { RemoveDirectoryTree(m_path); }

bool ScratchDirectory::CopyIn(const std::string& source, const std::string& name) const {
    return ::CopyFileW(WidePath(source).c_str(), WidePath(File(name)).c_str(), FALSE) != FALSE;
}

namespace {
// Wide, so that folders with Japanese names go too on a system of another code page.
void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}
}  // namespace

void RemoveDirectoryTree(const std::string& path) {
    if (!path.empty()) RemoveTree(WidePath(path));
}
