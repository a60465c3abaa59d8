#include "win/UrlService.h"

#include <wininet.h>

#include <vector>

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

bool ParseUrlServiceType(const char* text, DWORD& serviceType) {
    serviceType = kUrlServiceUnknown;
    if (!text) return false;
    DWORD size = 2084;
    std::vector<char> canonical(size);
    if (!::InternetCanonicalizeUrlA(text, canonical.data(), &size, ICU_BROWSER_MODE)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        canonical.assign(size + 1, '\0');
        size = static_cast<DWORD>(canonical.size());
        if (!::InternetCanonicalizeUrlA(text, canonical.data(), &size, ICU_BROWSER_MODE))
            return false;
    }
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths with null buffers: the parts are located, not copied.
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    if (!::InternetCrackUrlA(canonical.data(), 0, 0, &parts)) return false;
    serviceType = ServiceOfScheme(parts.nScheme);
    return true;
}
