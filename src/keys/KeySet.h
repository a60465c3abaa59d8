#pragma once
// One favourite key: its number, the key code stored for it, and its caption and link.
#include <string>

struct KeySet {
    int number = 0;  // one-based key number, 1 to 30
    // Greater than zero: modifier flags in the high 16 bits, virtual-key code in the low 16
    // bits. Zero or negative: nothing stored, the key's default applies.
    int keycode = 0;
    // CP932 text. An empty string means "absent": a caption or link is never empty.
    std::string caption;
    std::string link;
    // Stored as Activate=1: a press first switches to the running program's window.
    bool activate = false;
    // Stored as Text=: what the key types into the window in front instead of opening links.
    // CP932, with the file's escapes already undone (a line break is "\n", a tab "\t").
    // A key that also has a link opens the link and types nothing.
    std::string text;

    bool HasCaption() const noexcept { return !caption.empty(); }
    bool HasLink() const noexcept { return !link.empty(); }
    bool TypesText() const noexcept { return !text.empty() && !HasLink(); }

    // The only way captions and links are edited. Null or empty text leaves the field
    // absent; the number, the key code and the other text stay as they are.
    void ReplaceCaption(const char* text) { caption = text ? text : ""; }
    void ReplaceLink(const char* text) { link = text ? text : ""; }
};
