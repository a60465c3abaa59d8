#include "keys/LinkKind.h"

#include <windows.h>

namespace {
bool IsAsciiLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

bool IsAddressLink(const std::string& link) {
    const std::size_t colon = link.find(':');
    if (colon == std::string::npos || colon < 2 || !IsAsciiLetter(link[0])) return false;
    for (std::size_t at = 1; at < colon; ++at) {
        const char c = link[at];
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

bool LinkTakesArguments(const std::string& link) {
    if (link.empty()) return true;
    if (IsAddressLink(link)) return false;
    // The extension of the last name: after the last dot that follows the last separator
    // (a CP932 trail byte may be 0x5C, but never a dot).
    const std::size_t dot = link.rfind('.');
    const std::size_t separator = link.find_last_of("\\/");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return true;
    const std::string extension = link.substr(dot + 1);
    for (const char* program : {"exe", "com", "bat", "cmd", "lnk", "pif"})
        if (::lstrcmpiA(extension.c_str(), program) == 0) return true;
    return false;
}
