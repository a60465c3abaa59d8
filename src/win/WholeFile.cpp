#include "win/WholeFile.h"

#include "win/UniqueHandle.h"

WholeFile ReadWholeFile(const std::wstring& path, DWORD maxBytes) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? FileRead::Missing : FileRead::Failed, {}};
    }
    const DWORD size = ::GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > maxBytes) return {};
    WholeFile whole{FileRead::Read, std::string(size, '\0')};
    DWORD read = 0;
    if (size > 0 && (!::ReadFile(file.Get(), whole.bytes.data(), size, &read, nullptr) || read != size)) return {};
    return whole;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD creation) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::FlushFileBuffers(file.Get());
}

bool FlushFileToDisk(const std::wstring& path) {
    UniqueKernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::FlushFileBuffers(file.Get());
}
