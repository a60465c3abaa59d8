#include "win/SystemLibrary.h"

#include <string>

UniqueModule LoadSystemLibrary(const char* fileName) noexcept {
    char directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return UniqueModule();
    try {
        const std::string path = std::string(directory) + "\\" + fileName;
        return UniqueModule(::LoadLibraryExA(path.c_str(), nullptr, 0));
    } catch (...) {
        return UniqueModule();
    }
}
