#pragma once
// Reading the address bar of a browser that no longer answers the DDE page query (Chrome,
// Edge, Firefox) through its accessibility tree (MSAA).
//
// The tree is walked depth first from the window's client element. The page's document is
// never entered: it is where most of the elements are, and a web page may hold toolbars and
// text fields of its own. The first editable text element inside a toolbar is the address
// bar, and its value is the address as the browser shows it.
#include <windows.h>

#include <optional>
#include <string>

// The text of the address bar in CP932 (WideToCodePage932Address; possibly empty), or
// nothing when there is no address bar, the window is gone, or a bound was reached first:
// timeoutMs for the whole walk, maxNodes elements visited (every element counts, the
// window's own included). Gives up rather than waits: a browser that does not answer holds
// the caller for about timeoutMs and a little more, never longer. AddressFromShownText
// makes the link of the text.
//
// Messages sent to the caller's windows meanwhile are served (as a blocked SendMessage
// would); posted messages and input wait in the queue. The caller's COM state is not used.
std::optional<std::string> ReadAddressBar(HWND browser, DWORD timeoutMs = 1000,
                                          int maxNodes = 2000) noexcept;

// The page that the browser on top shows (FindTopBrowserWindow), as a link: its address bar
// read within the bounds above and made a link by AddressFromShownText. Nothing when no
// browser window is there or it shows no address (search words being typed, a new tab).
std::optional<std::string> ReadPageOfTopBrowser() noexcept;
