#pragma once
// The images of the settings dialog's key buttons: what a key's link opens. A web or FTP
// address shows the default browser's icon, anything else the icon the shell associates
// with it, a key without a link no image.
//
// The shell's icon of a file may take seconds (a network share that does not answer), and
// the dialog's thread owns the keyboard hook: once a reply window is given, such icons are
// read by a worker and each button gets its image when the icon arrives.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "win/BackgroundWorker.h"
#include "win/UniqueHandle.h"
#include "win/UrlService.h"

class KeyButtonIcons {
public:
    // browserIcon belongs to the application and is shared; it is never released here.
    explicit KeyButtonIcons(HICON browserIcon);

    // From now on the shell's icons are read by a worker, whose answers come to replyWindow
    // as replyMessage; its handler calls RunReplies(). Without it they are read at once.
    void ReadInBackground(HWND replyWindow, UINT replyMessage);
    void RunReplies();

    // Sets the button's image for the link (null or empty: the blank image). When no icon can be
    // had for the link, the button keeps its image; so it does until a background read ends. A marked key (its combination has a
    // conflict) shows a small warning sign in the image's lower right corner.
    void SetKeyIcon(HWND button, const char* link, bool marked = false);
    // What a button without a picture shows: an icon with nothing in it. A BS_ICON button
    // without any image would draw its text, which is its name for screen readers.
    HICON BlankIcon() const noexcept { return m_blankIcon.Get(); }

private:
    bool IsWebLink(const char* link) const;
    void ShowIcon(HWND button, HICON icon, bool marked);
    void ReadLater(HWND button, const std::string& link, bool marked);

    HICON m_hBrowserIcon;
    UniqueIcon m_blankIcon;
    UrlServiceReader m_urls;
    // The shell's icon of each link, asked once however many keys have that link (thirty keys
    // on one program cost one extraction), kept while the dialog lives.
    std::map<std::string, UniqueIcon> m_linkIcons;
    // Icons made with a warning sign, one per button, released when replaced.
    std::map<HWND, UniqueIcon> m_markedIcons;
    // Buttons waiting for a background read: the link and mark they last asked for.
    struct Waiting {
        std::string link;
        bool marked;
    };
    std::map<HWND, Waiting> m_waiting;
    // Last: it goes first, and no reply runs after it.
    std::unique_ptr<BackgroundWorker> m_worker;
};
