#include "settings/LinkInput.h"

#include <windows.h>

#include "browser/AddressText.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "win/CodePage932.h"
#include "win/TextFormat.h"

namespace {
LinkInput TooLong() { return {std::nullopt, LoadUiString(IDS_LINK_TOO_LONG)}; }

LinkInput Checked(std::string link) {
    if (link.size() > kMaxLinkBytes) return TooLong();
    return {std::move(link), {}};
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "scheme:" of two or more characters; "C:" is a drive.
bool StartsWithScheme(const std::wstring& text) {
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2 || !IsAsciiLetter(text[0])) return false;
    for (std::size_t at = 1; at < colon; ++at) {
        const wchar_t c = text[at];
        if (!IsAsciiLetter(c) && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'-' && c != L'.') return false;
    }
    return true;
}
}  // namespace

LinkInput LinkFromPath(const std::wstring& path) {
    const Cp932Text converted = Cp932PathOf(path);
    if (converted.Exact()) return Checked(converted.text);
    return {std::nullopt, FillInWide(UiText(IDS_PATH_CANNOT_BE_STORED), {path, converted.lost})};
}

LinkInput LinkFromTypedText(const std::wstring& text) {
    if (text.empty()) return {std::string(), {}};
    if (!StartsWithScheme(text)) return LinkFromPath(text);
    std::optional<std::string> address = WideToCodePage932Address(text);
    if (!address) return {std::nullopt, FillInWide(UiText(IDS_ADDRESS_HOST_REFUSED), {text})};
    return Checked(std::move(*address));
}
