#pragma once
// What kind of internet address a text is, by the Internet library's reading of it.
#include <windows.h>

// Service types of a parsed address; any scheme not listed gives kUrlServiceUnknown.
constexpr DWORD kUrlServiceFtp = 1;
constexpr DWORD kUrlServiceGopher = 2;
constexpr DWORD kUrlServiceHttp = 3;
constexpr DWORD kUrlServiceUnknown = 0x1000;
constexpr DWORD kUrlServiceFile = 0x1001;
constexpr DWORD kUrlServiceMailto = 0x1002;
constexpr DWORD kUrlServiceNews = 0x1006;
constexpr DWORD kUrlServiceHttps = 0x100B;

// Canonicalizes the text (browser mode) and splits it into its parts. Returns false when
// the text is not an address; serviceType is then kUrlServiceUnknown.
bool ParseUrlServiceType(const char* text, DWORD& serviceType);
