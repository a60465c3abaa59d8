#include "common/ScratchDirectory.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

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
    return ::CopyFileA(source.c_str(), File(name).c_str(), FALSE) != FALSE;
}

void RemoveDirectoryTree(const std::string& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path.c_str());
}
