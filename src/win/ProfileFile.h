#pragma once
// A private-profile (INI) file of the program's code page, 932, read and written byte for byte
// through the system's private-profile functions on a system of any code page.
//
// The path goes to the system wide, converted from 932, so that a folder with a Japanese name
// is found everywhere. The values are the file's own bytes: the system reads a file without a
// byte-order mark through its ANSI code page, and the program turns the answers back into bytes
// through the same code page, as the ANSI calls do inside. Where that code page gives every
// byte a character of its own and back (932 itself, the single-byte ones such as 1252 of an
// English or European Windows), every byte goes round unchanged. Where it does not (Chinese or
// Korean double-byte code pages, UTF-8), bytes outside ASCII would be lost, and the system
// rewrites the whole file at every write: there nothing is written unless the file and the
// new texts are plain ASCII.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

class ProfileFile {
public:
    // path: in code page 932.
    explicit ProfileFile(const std::string& path);

    UINT ReadInt(const char* section, const char* key, int fallback) const;
    // At most size − 1 bytes, never half a double-byte character.
    std::string ReadText(const char* section, const char* key, const char* fallback, std::size_t size) const;
    // The names of the keys in the section that reads look in, in the file's order: one call
    // where asking for each key a section may hold would be dozens.
    std::vector<std::string> KeyNames(const char* section) const;
    // A null key deletes the section, a null value the key.
    bool Write(const char* section, const char* key, const char* value) const;

    // Whether a write keeps every byte of the file as it is: always where the code page gives
    // every byte a character of its own; elsewhere only while the file and the texts to be
    // written are plain ASCII.
    bool WriteKeepsBytes(bool textsAreAscii, UINT codePage = ::GetACP()) const;
    static bool CodePageKeepsBytes(UINT codePage);

private:
    bool FileIsAscii() const;

    std::wstring m_path;
};

bool IsAscii(const std::string& text) noexcept;
