#pragma once
// The address bar's text made into a link: the wide text the browser shows turned into the
// program's CP932, and a shown text told apart from words being typed. No COM here, so any
// string can be tried on it.
#include <cstddef>
#include <optional>
#include <string>

#include "browser/PageAddressReply.h"

// The most bytes a captured address may take: the page query's buffer less its terminator.
constexpr std::size_t kAddressMaxBytes = kPageAddressSize - 1;
// The most bytes any link may take (a typed one may use the settings file's whole 1024).
constexpr std::size_t kMaxLinkBytes = 1024;

// The text in code page 932. A character that CP932 cannot hold (an emoji, most of Unicode
// beyond JIS) is written as its UTF-8 bytes in %XX escapes, which every browser reads back as
// that character, and never replaced with '?'; so are control characters, which would end
// the line the link is stored on. A lone surrogate stands for no character and is written as
// U+FFFD. A host name outside ASCII becomes its ASCII (punycode) form. The result is never cut:
// one longer than the caller's limit would open another page, and is refused by the caller
// (the conversion stops once it is longer than kMaxLinkBytes, past every caller's limit).
// Nothing for a host whose ASCII form would hold anything but letters, digits, hyphens and
// dots (full-width "＠" or "／" map to "@" and "/", and would send the address elsewhere).
std::optional<std::string> WideToCodePage932Address(const std::wstring& text);

// Whether an address fits the link's field.
inline bool AddressFits(const std::string& address) noexcept { return address.size() <= kAddressMaxBytes; }

// The link for a shown text (CP932), or nothing when it is no address:
//   - with a scheme (letters, digits, + . - and a ':', "https://...", "about:blank"): as it is;
//   - a bare host with a dot, "localhost", a port or an [IPv6] literal, and an optional path
//     ("example.jp/page", "localhost:8080/x"), or a one-word intranet host with a path
//     ("intranet/wiki/page"): with bareHostScheme ("https://", or "http://" where the
//     browser hides only that one) in front;
//   - empty, with a space or a control character in it, or a lone word without dot, slash,
//     port or "localhost": nothing, since that is what one types to search.
// Spaces and tabs around the text are ignored. "name:digits" is a host and its port, not a
// scheme. The result is never cut (see AddressFits).
std::optional<std::string> AddressFromShownText(const std::string& shown,
                                                const char* bareHostScheme = "https://");
