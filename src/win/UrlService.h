#pragma once
// What kind of internet address a text is, by the Internet library's reading of it.
#include <windows.h>

#include <string>

#include "win/UniqueHandle.h"

// Service types of a parsed address; any scheme not listed gives kUrlServiceUnknown.
constexpr DWORD kUrlServiceFtp = 1;
constexpr DWORD kUrlServiceGopher = 2;
constexpr DWORD kUrlServiceHttp = 3;
constexpr DWORD kUrlServiceUnknown = 0x1000;
constexpr DWORD kUrlServiceFile = 0x1001;
constexpr DWORD kUrlServiceMailto = 0x1002;
constexpr DWORD kUrlServiceNews = 0x1006;
constexpr DWORD kUrlServiceHttps = 0x100B;

// Reads addresses with the Internet library, which is loaded only while a reader exists (the
// settings dialog's): the resident program never pays for it.
class UrlServiceReader {
public:
    UrlServiceReader() noexcept;

    // Canonicalizes the text (browser mode) and splits it into its parts. Returns false when
    // the text is not an address or the library is missing; serviceType is then
    // kUrlServiceUnknown.
    bool ParseServiceType(const char* text, DWORD& serviceType) const;
    // The same, with the address's host name (empty when it has none), as the library reads it.
    bool ParseServiceType(const char* text, DWORD& serviceType, std::string& hostName) const;

private:
    using CanonicalizeProc = BOOL(WINAPI*)(LPCSTR url, LPSTR buffer, LPDWORD length, DWORD flags);
    using CrackProc = BOOL(WINAPI*)(LPCSTR url, DWORD length, DWORD flags, void* components);

    UniqueModule m_hWininet;
    CanonicalizeProc m_pfnCanonicalize = nullptr;
    CrackProc m_pfnCrack = nullptr;
};

// The same with a reader of its own, for a single address.
bool ParseUrlServiceType(const char* text, DWORD& serviceType);
