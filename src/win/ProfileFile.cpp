#include "win/ProfileFile.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "win/CodePage932.h"

namespace {
// Section and key names, and the fallbacks, are the program's own ASCII; null stays null.
struct AsciiName {
    explicit AsciiName(const char* text) : isNull(text == nullptr) {
        if (text) wide.assign(text, text + std::strlen(text));
    }
    const wchar_t* Get() const noexcept { return isNull ? nullptr : wide.c_str(); }
    std::wstring wide;
    bool isNull;
};

// The file's bytes for what the system read through its code page, cut to at most limit
// bytes without splitting a character of code page 932.
std::string BytesOfFile(const std::wstring& wide, std::size_t limit) {
    // Never a best-fit look-alike: a character the code page has no byte for ("é" on 932)
    // could only have come from a file of another encoding.
    const DWORD flags = NoBestFitFlags(CP_ACP);
    const int size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), bytes.data(), size, nullptr,
                              nullptr);
    if (bytes.size() <= limit) return bytes;
    std::size_t whole = 0;
    while (whole < limit) {
        const std::size_t step =
            ::IsDBCSLeadByteEx(kCodePage932, static_cast<BYTE>(bytes[whole])) ? 2 : 1;
        if (whole + step > limit) break;
        whole += step;
    }
    bytes.resize(whole);
    return bytes;
}

// A list of strings each ended by a null, as the section functions give them, read whole.
template <typename Read>
std::wstring ReadWholeList(Read read) {
    std::vector<wchar_t> buffer(4096);
    for (;;) {
        const DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        // A list that did not fit comes back two short of the buffer.
        if (length + 2 < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

bool IsAsciiWide(const std::wstring& text) noexcept {
    return std::all_of(text.begin(), text.end(), [](wchar_t unit) { return unit < 0x80; });
}
}  // namespace

bool IsAscii(const std::string& text) noexcept {
    return std::all_of(text.begin(), text.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

ProfileFile::ProfileFile(const std::string& path) : m_path(WideFromCp932(path)) {}

UINT ProfileFile::ReadInt(const char* section, const char* key, int fallback) const {
    return ::GetPrivateProfileIntW(AsciiName(section).Get(), AsciiName(key).Get(), fallback, m_path.c_str());
}

std::string ProfileFile::ReadText(const char* section, const char* key, const char* fallback,
                                  std::size_t size) const {
    if (size == 0) return {};
    // One unit more than the bytes wanted (no code page takes fewer bytes than units for a
    // character): a longer value then shows, and is cut here at a whole character.
    std::vector<wchar_t> buffer(size + 1);
    const DWORD length = ::GetPrivateProfileStringW(AsciiName(section).Get(), AsciiName(key).Get(),
                                                    AsciiName(fallback).Get(), buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), m_path.c_str());
    return BytesOfFile(std::wstring(buffer.data(), length), size - 1);
}

std::vector<std::string> ProfileFile::KeyNames(const char* section) const {
    const std::wstring list = ReadWholeList([&](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileStringW(AsciiName(section).Get(), nullptr, L"", buffer, size, m_path.c_str());
    });
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = std::min(list.find(L'\0', at), list.size());
        if (end > at) names.push_back(BytesOfFile(list.substr(at, end - at), end - at + 1));
        at = end + 1;
    }
    return names;
}

bool ProfileFile::Write(const char* section, const char* key, const char* value) const {
    // The bytes as the system's code page reads them: it writes them back through the same.
    std::wstring wideValue;
    if (value) {
        const int length = static_cast<int>(std::strlen(value));
        const int size = ::MultiByteToWideChar(CP_ACP, 0, value, length, nullptr, 0);
        wideValue.resize(static_cast<std::size_t>(size > 0 ? size : 0));
        if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, value, length, wideValue.data(), size);
    }
    return ::WritePrivateProfileStringW(AsciiName(section).Get(), AsciiName(key).Get(),
                                        value ? wideValue.c_str() : nullptr, m_path.c_str()) != FALSE;
}

bool ProfileFile::CodePageKeepsBytes(UINT codePage) {
    if (codePage == kCodePage932) return true;
    CPINFO info{};
    if (!::GetCPInfo(codePage, &info) || info.MaxCharSize != 1) return false;
    // The same conversions as the system's own for the file, both ways, byte by byte.
    for (int value = 1; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        wchar_t unit = 0;
        char back = 0;
        BOOL usedDefault = FALSE;
        if (::MultiByteToWideChar(codePage, 0, &byte, 1, &unit, 1) != 1 ||
            ::WideCharToMultiByte(codePage, NoBestFitFlags(codePage), &unit, 1, &back, 1, nullptr, &usedDefault) != 1 ||
            usedDefault ||
            back != byte)
            return false;
    }
    return true;
}

bool ProfileFile::WriteKeepsBytes(bool textsAreAscii, UINT codePage) const {
    return CodePageKeepsBytes(codePage) || (textsAreAscii && FileIsAscii());
}

bool ProfileFile::FileIsAscii() const {
    // Everything in the file, as the private-profile functions see it: its section names and
    // each section's lines.
    const std::wstring names = ReadWholeList([this](wchar_t* buffer, DWORD size) {
        return ::GetPrivateProfileSectionNamesW(buffer, size, m_path.c_str());
    });
    if (!IsAsciiWide(names)) return false;
    for (std::size_t at = 0; at < names.size(); at += std::wcslen(names.c_str() + at) + 1) {
        const wchar_t* name = names.c_str() + at;
        const std::wstring lines = ReadWholeList([this, name](wchar_t* buffer, DWORD size) {
            return ::GetPrivateProfileSectionW(name, buffer, size, m_path.c_str());
        });
        if (!IsAsciiWide(lines)) return false;
    }
    return true;
}
