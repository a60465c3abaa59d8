#pragma once
// Reading the address bar of a browser that no longer answers the DDE page query (Chrome,
// Edge, Firefox) through its accessibility tree (MSAA).
//
// The tree is walked depth first from the window's client element. The page's document and
// the tab strip are never entered: they are where most of the elements are, and a web page
// may hold toolbars and text fields of its own. The first editable, shown text element (or
// combo box with a value) inside a toolbar is the address bar, and its value is the address
// as the browser shows it. Names are never read: Chromium switches on accessibility for every
// page of the session when a client reads one.
#include <windows.h>

#include <optional>
#include <string>

// The text of the address bar in CP932 (WideToCodePage932Address; possibly empty), or
// nothing when there is no address bar, the window is gone, or a bound was reached first:
// timeoutMs for the whole walk, maxNodes elements visited (every element counts, the
// window's own included). Gives up rather than waits: a browser that does not answer holds
// the caller for about timeoutMs and a little more, never longer. A tree not built yet (no
// children under the window's element) is asked for again until timeoutMs is spent.
// AddressFromShownText makes the link of the text.
//
// Messages sent to the caller's windows meanwhile are served (as a blocked SendMessage
// would); posted messages and input wait in the queue. The caller's COM state is not used.
std::optional<std::string> ReadAddressBar(HWND browser, DWORD timeoutMs = 1000,
                                          int maxNodes = 2000) noexcept;

// What a capture found in today's browsers.
struct PageCapture {
    enum class Result {
        NoBrowser,   // no browser window is there
        Unreadable,  // browser windows are there, but none gave a page's address
        Found,
    };
    Result result = Result::NoBrowser;
    std::string link;  // the page, as a link, when found
};

// The page shown by the browser windows (FindBrowserWindows), tried from the top of the
// z-order: the first address bar that shows an address, made a link by AddressFromShownText
// with the scheme the window's browser hides. All windows together take about 1.5 s at most,
// and no one window more than half of it.
PageCapture CapturePageFromBrowsers() noexcept;
