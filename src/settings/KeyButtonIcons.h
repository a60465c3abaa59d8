#pragma once
// The images of the settings dialog's key buttons: what a key's link opens. A web or FTP
// address shows the default browser's icon, anything else the icon the shell associates
// with it, a key without a link no image.
#include <windows.h>

#include <map>
#include <string>

#include "win/UniqueHandle.h"
#include "win/UrlService.h"

class KeyButtonIcons {
public:
    // browserIcon belongs to the application and is shared; it is never released here.
    explicit KeyButtonIcons(HICON browserIcon) noexcept : m_hBrowserIcon(browserIcon) {}

    // Sets the button's image for the link (null or empty: no image). When no icon can be
    // had for the link, the button keeps its image. A marked key (its combination has a
    // conflict) shows a small warning sign in the image's lower right corner.
    void SetKeyIcon(HWND button, const char* link, bool marked = false);

    // The icon a link would show, without touching any button: the browser icon, a new icon
    // from the shell (which the caller then owns), or null.
    struct Choice {
        HICON icon;
        bool fromShell;
    };
    Choice ChooseIcon(const char* link) const;

private:
    HICON m_hBrowserIcon;
    UrlServiceReader m_urls;
    // The shell's icon of each link, asked once however many keys have that link (thirty keys
    // on one program cost one extraction), kept while the dialog lives.
    std::map<std::string, UniqueIcon> m_linkIcons;
    // Icons made with a warning sign, one per button, released when replaced.
    std::map<HWND, UniqueIcon> m_markedIcons;
};
