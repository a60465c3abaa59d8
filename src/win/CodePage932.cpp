#include "win/CodePage932.h"

#include <windows.h>

#include <vector>

std::wstring WideFromCp932(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(kCodePage932, 0, text.data(), size, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(kCodePage932, 0, text.data(), size, wide.data(), units);
    return wide;
}

Cp932Text Cp932FromWide(const std::wstring& wide) {
    Cp932Text result;
    result.text.reserve(wide.size() * 2);
    // One character at a time: the used-default flag says only whether some character of a
    // call failed, and the user is to be told which.
    for (std::size_t at = 0; at < wide.size();) {
        const std::size_t units =
            IsHighSurrogate(wide[at]) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1]) ? 2 : 1;
        char bytes[8] = {};
        BOOL usedDefault = FALSE;
        const int length = ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, &wide[at], static_cast<int>(units),
                                                 bytes, sizeof bytes, nullptr, &usedDefault);
        if (length > 0 && !usedDefault) {
            result.text.append(bytes, static_cast<std::size_t>(length));
        } else {
            const std::wstring character = wide.substr(at, units);
            if (result.lost.find(character) == std::wstring::npos) result.lost += character;
        }
        at += units;
    }
    return result;
}

Cp932Text Cp932PathOf(const std::wstring& path) {
    Cp932Text exact = Cp932FromWide(path);
    if (exact.Exact()) return exact;
    const DWORD size = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return exact;
    std::vector<wchar_t> buffer(size);
    const DWORD length = ::GetShortPathNameW(path.c_str(), buffer.data(), size);
    if (length == 0 || length >= size) return exact;
    Cp932Text shortForm = Cp932FromWide(std::wstring(buffer.data(), length));
    return shortForm.Exact() ? shortForm : exact;
}

unsigned long NoBestFitFlags(unsigned codePage) {
    const UINT resolved = codePage == CP_ACP ? ::GetACP() : codePage;
    const bool takesNoFlags = resolved == CP_UTF8 || resolved == CP_UTF7 || resolved == 42 ||
                              (resolved >= 50220 && resolved <= 50229) || (resolved >= 57002 && resolved <= 57011);
    return takesNoFlags ? 0 : WC_NO_BEST_FIT_CHARS;
}
