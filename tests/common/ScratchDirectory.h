#pragma once
// A fresh, empty directory for one test, removed with everything in it when the test ends.
#include <string>

class ScratchDirectory {
public:
    // Creates <root>\<name>-<unique>; root defaults to the temporary directory.
    explicit ScratchDirectory(const std::string& name, const std::string& root = {});
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // The directory, without a trailing backslash.
    const std::string& Path() const noexcept { return m_path; }
    // The directory with a trailing backslash, as the program stores its own directory.
    std::string WithSlash() const { return m_path + "\\"; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

    // Copies a file into the directory under the given name; false when the copy failed.
    bool CopyIn(const std::string& source, const std::string& name) const;

private:
    std::string m_path;
};

// Deletes a directory tree; used by ScratchDirectory and for leftovers of earlier runs.
void RemoveDirectoryTree(const std::string& path);
