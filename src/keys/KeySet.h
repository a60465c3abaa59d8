#pragma once
// One favourite key: its number, the key code stored for it, its caption, and what a press
// does: open its links (each with its arguments, start folder and window state) or type a text.
#include <string>
#include <vector>

// How the window of what a link starts first appears. Stored as Show=min or Show=max; normal
// is stored as nothing.
enum class WindowShow { Normal, Minimized, Maximized };

// What goes with a link to the shell beside the link itself. CP932; empty means absent.
struct LinkStart {
    // Handed to a program (or a shortcut to one) as they stand; a document or a web address
    // takes none.
    std::string arguments;
    // The folder the program starts in; absent: the shell's own choice.
    std::string startIn;
    WindowShow show = WindowShow::Normal;

    bool IsDefault() const noexcept { return arguments.empty() && startIn.empty() && show == WindowShow::Normal; }
    bool operator==(const LinkStart& other) const {
        return arguments == other.arguments && startIn == other.startIn && show == other.show;
    }
};

// One link of a key with its start.
struct KeyLink {
    std::string link;
    LinkStart start;

    bool operator==(const KeyLink& other) const { return link == other.link && start == other.start; }
};

struct KeySet {
    // Link, Link2 ... Link10: the first link and at most nine more.
    static constexpr int kMaxLinks = 10;

    int number = 0;  // one-based key number, 1 to 30
    // Greater than zero: modifier flags in the high 16 bits, virtual-key code in the low 16
    // bits. Zero or negative: nothing stored, the key's default applies.
    int keycode = 0;
    // CP932 text. An empty string means "absent": a caption or link is never empty.
    std::string caption;
    std::string link;
    // The first link's arguments, start folder and window state.
    LinkStart start;
    // Stored as Activate=1: a press first switches to the running program's window (the
    // first link's).
    bool activate = false;
    // The links opened after the first one, in order (Link2 onwards, renumbered without gaps).
    std::vector<KeyLink> moreLinks;
    // Stored as Text=: what the key types into the window in front instead of opening links.
    // CP932, with the file's escapes already undone (a line break is "\n", a tab "\t").
    // A key that also has a link opens the link and types nothing.
    std::string text;

    bool HasCaption() const noexcept { return !caption.empty(); }
    bool HasLink() const noexcept { return !link.empty(); }
    bool TypesText() const noexcept { return !text.empty() && !HasLink(); }
    // A text and links both set (by hand in the file): the links win, and the key is marked.
    bool HasTextAndLink() const noexcept { return !text.empty() && HasLink(); }
    // Every link a press opens, the first one first.
    std::vector<KeyLink> Links() const {
        std::vector<KeyLink> links;
        if (HasLink()) links.push_back({link, start});
        links.insert(links.end(), moreLinks.begin(), moreLinks.end());
        return links;
    }
    // Nothing stored at all: its section goes from the file.
    bool IsBlank() const noexcept {
        return keycode < 1 && !HasCaption() && !HasLink() && !activate && start.IsDefault() && moreLinks.empty() &&
               text.empty();
    }

    // The only way captions and links are edited. Null or empty text leaves the field
    // absent; the number, the key code and the other text stay as they are.
    void ReplaceCaption(const char* text) { caption = text ? text : ""; }
    void ReplaceLink(const char* text) { link = text ? text : ""; }
    // A first link from a drop or a browser capture: the arguments, folder and window state
    // were the old link's, and a key that typed a text opens the link from now on. Its
    // further links stay.
    void ReplaceFirstLink(const char* newLink) {
        ReplaceLink(newLink);
        start = LinkStart{};
        text.clear();
    }
};
