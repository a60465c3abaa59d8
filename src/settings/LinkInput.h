#pragma once
// What the user gives as a key's link — a file dropped or browsed for, a path or an address
// typed or pasted — as the program can store it in code page 932, or why it cannot. Windows
// hands over every name as Unicode; a character CP932 lacks is never stored as "?" or as a
// best-fit look-alike, which would name another file or page:
//   - a path converts exactly, or its short (8.3) name does, or it is refused, naming it;
//   - an address keeps what CP932 holds, writes the rest as UTF-8 escapes and a host name
//     outside ASCII in its ASCII form; one that no longer fits the link is refused, never cut.
#include <optional>
#include <string>

struct LinkInput {
    std::optional<std::string> link;  // CP932, what to store ("" removes the link)
    std::wstring refusal;             // otherwise the box's text
};

LinkInput LinkFromPath(const std::wstring& path);
// A typed or pasted text: an address when it starts with a scheme ("https:", "mailto:", but
// not a drive letter), else a path.
LinkInput LinkFromTypedText(const std::wstring& text);
