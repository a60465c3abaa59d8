#include "win/UrlService.h"

#include <wininet.h>

#include <vector>

#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"

namespace {
DWORD ServiceOfScheme(INTERNET_SCHEME scheme) {
    switch (scheme) {
        case INTERNET_SCHEME_FTP: return kUrlServiceFtp;
        case INTERNET_SCHEME_GOPHER: return kUrlServiceGopher;
        case INTERNET_SCHEME_HTTP: return kUrlServiceHttp;
        case INTERNET_SCHEME_HTTPS: return kUrlServiceHttps;
        case INTERNET_SCHEME_FILE: return kUrlServiceFile;
        case INTERNET_SCHEME_NEWS: return kUrlServiceNews;
        case INTERNET_SCHEME_MAILTO: return kUrlServiceMailto;
        default: return kUrlServiceUnknown;
    }
}
}  // namespace

UrlServiceReader::UrlServiceReader() noexcept
    : m_hWininet(LoadSystemLibrary("wininet.dll")),
      m_pfnCanonicalize(GetProcAs<CanonicalizeProc>(m_hWininet.Get(), "InternetCanonicalizeUrlA")),
      m_pfnCrack(GetProcAs<CrackProc>(m_hWininet.Get(), "InternetCrackUrlA")) {}

bool ParseUrlServiceType(const char* text, DWORD& serviceType) {
    return UrlServiceReader().ParseServiceType(text, serviceType);
}

bool UrlServiceReader::ParseServiceType(const char* text, DWORD& serviceType) const {
    std::string hostName;
    return ParseServiceType(text, serviceType, hostName);
}

bool UrlServiceReader::ParseServiceType(const char* text, DWORD& serviceType, std::string& hostName) const {
    serviceType = kUrlServiceUnknown;
    hostName.clear();
    if (!text || !m_pfnCanonicalize || !m_pfnCrack) return false;
    DWORD size = 2084;
    std::vector<char> canonical(size);
    if (!m_pfnCanonicalize(text, canonical.data(), &size, ICU_BROWSER_MODE)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        canonical.assign(size + 1, '\0');
        size = static_cast<DWORD>(canonical.size());
        if (!m_pfnCanonicalize(text, canonical.data(), &size, ICU_BROWSER_MODE))
            return false;
    }
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths with null buffers: the parts are located, not copied.
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    if (!m_pfnCrack(canonical.data(), 0, 0, &parts)) return false;
    serviceType = ServiceOfScheme(parts.nScheme);
    if (parts.lpszHostName && parts.dwHostNameLength > 0) hostName.assign(parts.lpszHostName, parts.dwHostNameLength);
    return true;
}
