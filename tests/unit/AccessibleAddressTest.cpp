// The address bar read through accessibility: the shown text made into CP932 and into a
// link, the search for the browser window on top, and whole reads of the fake modern
// browser, a separate process serving its own tree, over the real accessibility library.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "browser/AccessibleAddress.h"
#include "browser/AddressText.h"
#include "settings/LinkInput.h"
#include "win/CodePage932.h"
#include "browser/BrowserWindows.h"
#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "common/SupportProcess.h"
#include "win/UniqueHandle.h"

namespace {
std::string Shown(const std::optional<std::string>& text) { return text.value_or("<nothing>"); }

// ---- The shown text in CP932 ----------------------------------------------------------
// Narrow literals are compiled to CP932; bytes are spelled out where the encoding is the
// point.

TEST(WideToCodePage932Address, KeepsWhatCodePage932Holds) {
    EXPECT_EQ(WideToCodePage932Address(L"https://example.jp/a?b=c#d"),
              "https://example.jp/a?b=c#d");
    EXPECT_EQ(WideToCodePage932Address(L"\u6F22\u5B57"), "\x8A\xBF\x8E\x9A");  // 漢字
    EXPECT_EQ(WideToCodePage932Address(L"example.jp/ページ"), "example.jp/ページ");
    EXPECT_EQ(WideToCodePage932Address(L"\uFF71"), "\xB1") << "half-width katakana, one byte";
    EXPECT_EQ(WideToCodePage932Address(L"50%"), "50%") << "a shown percent sign stays";
    EXPECT_EQ(WideToCodePage932Address(L""), "");
}

TEST(WideToCodePage932Address, EscapesEachCharacterCodePage932LacksAsItsUtf8) {
    EXPECT_EQ(WideToCodePage932Address(L"a\U0001F600b"), "a%F0%9F%98%80b");
    // Best fit would make these 'e' and '?'-like look-alikes: a different address.
    EXPECT_EQ(WideToCodePage932Address(L"caf\u00E9"), "caf%C3%A9");
    EXPECT_EQ(WideToCodePage932Address(L"\uD55C"), "%ED%95%9C");  // Hangul
    // Which character failed is known per character: the kanji on both sides stay.
    EXPECT_EQ(WideToCodePage932Address(L"\u6F22\U0001F600\u5B57\u00E9"),
              "\x8A\xBF%F0%9F%98%80\x8E\x9A%C3%A9");
    // Lone surrogates are no characters; control characters would break the stored line.
    EXPECT_EQ(WideToCodePage932Address(std::wstring(L"a\xD800" L"b\xDC00")),
              "a%EF%BF%BDb%EF%BF%BD");
    EXPECT_EQ(WideToCodePage932Address(std::wstring(L"a\r\nb\t", 5) + L'\0' + L"c"),
              "a%0D%0Ab%09%00c");
}

// The exact conversion every text from Windows goes through, and what an address becomes:
// what CP932 holds is kept, anything else is never a best-fit or "?" stand-in; a name loses
// the characters (reported), an address writes them as UTF-8 escapes, an IDN host as ASCII,
// and an address too long for the link's field is refused, never cut.
TEST(WideToCodePage932Address, ExactConversionAndAddressEscapingTable) {
    struct Case {
        const wchar_t* wide;
        const char* exact;        // Cp932FromWide's text
        const wchar_t* lost;      // and the characters it could not keep
        const char* address;      // WideToCodePage932Address; null: refused
    };
    const Case cases[] = {
        {L"https://ja.wikipedia.org/wiki/\u65E5\u672C\u8A9E", "https://ja.wikipedia.org/wiki/\x93\xFA\x96\x7B\x8C\xEA", L"",
         "https://ja.wikipedia.org/wiki/\x93\xFA\x96\x7B\x8C\xEA"},
        {L"docs/\uD55C\uAD6D\uC5B4.txt", "docs/.txt", L"\uD55C\uAD6D\uC5B4", "docs/%ED%95%9C%EA%B5%AD%EC%96%B4.txt"},
        {L"a\U0001F600b", "ab", L"\U0001F600", "a%F0%9F%98%80b"},
        {L"docs/caf\u00E9.txt", "docs/caf.txt", L"\u00E9", "docs/caf%C3%A9.txt"},
        {L"docs/a\u00A5b.txt", "docs/ab.txt", L"\u00A5", "docs/a%C2%A5b.txt"},  // never "a\b.txt"
        {L"\u301C\u301C", "", L"\u301C", "%E3%80%9C%E3%80%9C"},             // each lost one named once
        {L"https://\u4F8B\u3048.\u30C6\u30B9\u30C8/\u30D1\u30B9", "https://\x97\xE1\x82\xA6.\x83\x65\x83\x58\x83\x67/\x83\x70\x83\x58",
         L"", "https://xn--r8jz45g.xn--zckzah/\x83\x70\x83\x58"},
        {L"https://user@b\u00FCcher.de:8080/?q=\u00FC", "https://user@bcher.de:8080/?q=", L"\u00FC",
         "https://user@xn--bcher-kva.de:8080/?q=%C3%BC"},
        // Full-width "＠ ／ ：" would become "@ / :" in the ASCII form and send the address
        // to another host; a full-width dot is a dot.
        {L"https://bank.example\uFF20evil.test/", "https://bank.example\x81\x97" "evil.test/", L"", nullptr},
        {L"https://example.jp\uFF0Fevil.test/", "https://example.jp\x81\x5E" "evil.test/", L"", nullptr},
        {L"https://evil.test\uFF1A" L"80.example.jp/", "https://evil.test\x81\x46" "80.example.jp/", L"", nullptr},
        {L"https://bank\uFF0E" L"example.jp/", "https://bank\x81\x44" "example.jp/", L"", "https://bank.example.jp/"},
    };
    for (const Case& c : cases) {
        const Cp932Text exact = Cp932FromWide(c.wide);
        EXPECT_EQ(exact.text, c.exact) << c.address;
        EXPECT_EQ(exact.lost, c.lost) << c.address;
        EXPECT_EQ(exact.Exact(), *c.lost == L'\0');
        const std::optional<std::string> address = WideToCodePage932Address(c.wide);
        if (c.address)
            EXPECT_EQ(address, c.address) << c.wide;
        else
            EXPECT_FALSE(address) << c.wide;
    }
    // Whole or refused: 1023 bytes fit the link; one escaped character more does not.
    EXPECT_TRUE(AddressFits(*WideToCodePage932Address(std::wstring(1023, L'a'))));
    EXPECT_FALSE(AddressFits(*WideToCodePage932Address(std::wstring(1012, L'a') + L"\U0001F600")));
    EXPECT_FALSE(AddressFits(*WideToCodePage932Address(std::wstring(5000, L'a'))));
    EXPECT_FALSE(AddressFits(*AddressFromShownText("example.jp/" + std::string(1015, 'a'))));
    // Typed: 1023 characters the edit takes, 1028 bytes once escaped.
    EXPECT_FALSE(LinkFromTypedText(L"https://x/\u00E9" + std::wstring(1012, L'a')).link);
    // A refused host is named in the box, and nothing is stored.
    const LinkInput spoofed = LinkFromTypedText(L"https://bank.example\uFF20evil.test/");
    EXPECT_FALSE(spoofed.link);
    EXPECT_NE(spoofed.refusal.find(L"bank.example\uFF20evil.test"), std::wstring::npos);
}

// ---- The link of a shown text -----------------------------------------------------------

TEST(AddressFromShownText, KeepsAnAddressWithASchemeAsItIs) {
    for (const char* address :
         {"https://example.jp/ページ", "HTTP://EXAMPLE.JP", "file:///C:/dir/a.html",
          "about:blank", "mailto:someone@example.jp", "https://example.jp:8443/x",
          "chrome-extension://abc/page.html", "view-source:https://example.jp/"})
        EXPECT_EQ(Shown(AddressFromShownText(address)), address);
}

TEST(AddressFromShownText, PutsHttpsBeforeABareHost) {
    EXPECT_EQ(Shown(AddressFromShownText("example.jp/page")), "https://example.jp/page");
    EXPECT_EQ(Shown(AddressFromShownText("localhost:8080/x")), "https://localhost:8080/x");
    EXPECT_EQ(Shown(AddressFromShownText("localhost:8080")), "https://localhost:8080");
    EXPECT_EQ(Shown(AddressFromShownText("intranet:80?q=1")), "https://intranet:80?q=1");
    EXPECT_EQ(Shown(AddressFromShownText("LocalHost")), "https://LocalHost");
    EXPECT_EQ(Shown(AddressFromShownText("[::1]:8080/")), "https://[::1]:8080/");
    EXPECT_EQ(Shown(AddressFromShownText("例え.jp/ページ")), "https://例え.jp/ページ");
    EXPECT_EQ(Shown(AddressFromShownText("  example.jp \t")), "https://example.jp");
    // ァ is 83 40: its trail byte is the one of the ideographic space, 81 40.
    EXPECT_EQ(Shown(AddressFromShownText("example.jp/\x83\x40")), "https://example.jp/\x83\x40");
    // A one-word intranet host with a path or a port.
    EXPECT_EQ(Shown(AddressFromShownText("intranet/wiki/page")), "https://intranet/wiki/page");
    EXPECT_EQ(Shown(AddressFromShownText("wiki:8080/x")), "https://wiki:8080/x");
}

// Firefox hides only http://: a bare host there is an http address, a shown scheme stays.
TEST(AddressFromShownText, ABareHostGetsTheSchemeItsBrowserHides) {
    EXPECT_EQ(Shown(AddressFromShownText("example.jp/a", "http://")), "http://example.jp/a");
    EXPECT_EQ(Shown(AddressFromShownText("intranet/wiki", "http://")), "http://intranet/wiki");
    EXPECT_EQ(Shown(AddressFromShownText("https://example.jp/a", "http://")), "https://example.jp/a");
    EXPECT_EQ(AddressFromShownText("weather", "http://"), std::nullopt);
}

TEST(AddressFromShownText, GivesNothingForWhatIsNoAddress) {
    for (const char* text : {"", "   ", "weather tokyo", "東京\x81\x40天気", "weather",
                             "a.jp\tb", "/path/only", ".jp", ":8080"})
        EXPECT_EQ(AddressFromShownText(text), std::nullopt) << "'" << text << "'";
    EXPECT_EQ(AddressFromShownText(std::string("a.jp\0b", 6)), std::nullopt);
}

// ---- The browser window on top ----------------------------------------------------------

// Windows of this process under the browsers' class names.
class TopBrowserWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* name : kBrowserWindowClasses) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = name;
            ::RegisterClassA(&wc);
        }
    }

    static UniqueWindow Make(const char* className, bool visible, DWORD exStyle = 0,
                             HWND owner = nullptr) {
        const DWORD style = WS_POPUP | (visible ? WS_VISIBLE : 0);
        return UniqueWindow(::CreateWindowExA(exStyle | WS_EX_NOACTIVATE, className, "test",
                                              style, 10, 10, 60, 40, owner, nullptr,
                                              ::GetModuleHandleA(nullptr), nullptr));
    }
    static HWND FindTopBrowserWindow() {
        const std::vector<HWND> windows = FindBrowserWindows();
        return windows.empty() ? nullptr : windows.front();
    }
    static void Raise(const UniqueWindow& window) {
        ::SetWindowPos(window.Get(), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
};

TEST_F(TopBrowserWindow, TheOneNearestTheTopOfEitherClassIsFound) {
    const UniqueWindow firefox = Make("MozillaWindowClass", true);
    const UniqueWindow chrome = Make("Chrome_WidgetWin_1", true);
    ASSERT_TRUE(firefox && chrome);
    Raise(firefox);
    EXPECT_EQ(FindTopBrowserWindow(), firefox.Get());
    Raise(chrome);
    EXPECT_EQ(FindTopBrowserWindow(), chrome.Get());
}

TEST_F(TopBrowserWindow, HiddenOwnedToolTopmostMinimisedAndOtherWindowsAboveArePassedOver) {
    const UniqueWindow browser = Make("Chrome_WidgetWin_1", true);
    ASSERT_TRUE(browser);
    Raise(browser);
    const UniqueWindow hidden = Make("Chrome_WidgetWin_1", false);
    const UniqueWindow bubble = Make("Chrome_WidgetWin_1", true, 0, browser.Get());
    const UniqueWindow tool = Make("MozillaWindowClass", true, WS_EX_TOOLWINDOW);
    const UniqueWindow other = Make("STATIC", true);
    // A picture-in-picture window is topmost; a minimised window shows no page.
    const UniqueWindow pictureInPicture = Make("Chrome_WidgetWin_1", true, WS_EX_TOPMOST);
    const UniqueWindow minimised = Make("Chrome_WidgetWin_1", true);
    ::ShowWindow(minimised.Get(), SW_SHOWMINNOACTIVE);
    for (const UniqueWindow* above : {&hidden, &bubble, &tool, &other, &pictureInPicture, &minimised}) {
        ASSERT_TRUE(*above);
        Raise(*above);
    }
    EXPECT_EQ(FindTopBrowserWindow(), browser.Get());
}

TEST_F(TopBrowserWindow, WithOnlyAHiddenOneOfOursAnythingFoundIsAVisibleBrowserWindow) {
    const UniqueWindow hidden = Make("MozillaWindowClass", false);
    ASSERT_TRUE(hidden);
    Raise(hidden);
    // Another program in the desktop may show a browser window; nothing else may be found.
    const HWND found = FindTopBrowserWindow();
    EXPECT_NE(found, hidden.Get());
    if (found) {
        char className[64] = {};
        ::GetClassNameA(found, className, sizeof className);
        EXPECT_TRUE(::IsWindowVisible(found));
        EXPECT_TRUE(IsBrowserWindowClass(className)) << className;
    }
}

// ---- ReadAddressBar on windows of this process ------------------------------------------

ULONGLONG MsSince(ULONGLONG start) { return ::GetTickCount64() - start; }

TEST(ReadAddressBar, NoWindowOrAGoneOneGivesNothingAtOnce) {
    HWND gone = ::CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ::DestroyWindow(gone);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(ReadAddressBar(nullptr), std::nullopt);
    EXPECT_EQ(ReadAddressBar(gone), std::nullopt);
    EXPECT_LT(MsSince(start), 500u);
}

TEST(ReadAddressBar, AWindowOfTheCallersThreadIsAnsweredAndHasNoAddressBar) {
    // The walk asks this thread's window through messages sent to it; were they not served
    // while the caller waits, the read would last the whole bound. The edit is a child: a
    // window whose tree is empty is asked again until the bound is spent.
    const UniqueWindow window(::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 30, nullptr,
                                                nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    ASSERT_TRUE(::CreateWindowExA(0, "EDIT", "https://edit.example/", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30,
                                  window.Get(), nullptr, nullptr, nullptr));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(ReadAddressBar(window.Get(), 6000), std::nullopt);
    EXPECT_LT(MsSince(start), 3000u);
}

// ---- ReadAddressBar on the fake modern browser -------------------------------------------

// The built fake, started with a Unicode command line (the address may hold what CP932
// cannot) and ended when the test is over.
class FakeModernBrowserProcess : public SupportProcess {
public:
    explicit FakeModernBrowserProcess(const std::wstring& arguments)
        : SupportProcess("FakeModernBrowser.exe", "FakeModernBrowser", arguments + L" --lifetime-ms=30000") {}

    // After Stop: how many calls were about elements inside the document or the tab strip,
    // or -1 without log.
    long DocumentCalls() const { return Logged("document-calls "); }
    // After Stop: how many names were asked for.
    long NameCalls() const { return Logged("name-calls "); }

private:
    long Logged(const std::string& key) const {
        for (const std::string& line : ReadLines(File("modern-browser.log")))
            if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
        return -1;
    }
};

constexpr char kDecoy[] = "https://decoy.example/";

TEST(ReadAddressBarOfFakeBrowser, ReadsTheBarInTheToolbarWithoutEnteringTheDocument) {
    FakeModernBrowserProcess browser(L"--address=example.jp/\u30DA\u30FC\u30B8\U0001F600");
    ASSERT_NE(browser.Window(), nullptr) << "the fake modern browser did not start";

    const ULONGLONG start = ::GetTickCount64();
    const std::optional<std::string> shown = ReadAddressBar(browser.Window());
    // Walking the document's 5000 elements takes tens of seconds under Wine.
    EXPECT_LT(MsSince(start), 3000u);
    EXPECT_EQ(Shown(shown), "example.jp/ページ%F0%9F%98%80");
    EXPECT_NE(Shown(shown), kDecoy);
    EXPECT_EQ(Shown(AddressFromShownText(Shown(shown))), "https://example.jp/ページ%F0%9F%98%80");

    EXPECT_EQ(browser.Stop(), std::optional<DWORD>(0));
    EXPECT_EQ(browser.DocumentCalls(), 0) << "nothing inside the document is asked";
}

TEST(ReadAddressBarOfFakeBrowser, ReadsABarThatIsASimpleElementOfItsToolbar) {
    FakeModernBrowserProcess browser(L"--simple-text --address=https://example.jp/simple");
    ASSERT_NE(browser.Window(), nullptr);
    EXPECT_EQ(Shown(ReadAddressBar(browser.Window())), "https://example.jp/simple");
}

TEST(ReadAddressBarOfFakeBrowser, AToolbarWithoutTextGivesNothingAndTheDocumentStaysShut) {
    FakeModernBrowserProcess browser(L"--no-text");
    ASSERT_NE(browser.Window(), nullptr);
    EXPECT_EQ(ReadAddressBar(browser.Window()), std::nullopt);
    EXPECT_EQ(browser.Stop(), std::optional<DWORD>(0));
    EXPECT_EQ(browser.DocumentCalls(), 0);
}

TEST(ReadAddressBarOfFakeBrowser, TheNodeBoundEndsTheWalkBeforeTheBar) {
    FakeModernBrowserProcess browser(L"--address=https://example.jp/bound");
    ASSERT_NE(browser.Window(), nullptr);
    // The client, the document, the toolbar and its button: four elements before the bar.
    EXPECT_EQ(ReadAddressBar(browser.Window(), 5000, 4), std::nullopt);
    EXPECT_EQ(Shown(ReadAddressBar(browser.Window(), 5000, 50)), "https://example.jp/bound");
}

TEST(ReadAddressBarOfFakeBrowser, ASlowBrowserIsGivenUpAroundTheTimeBound) {
    FakeModernBrowserProcess browser(L"--slow-ms=200");
    ASSERT_NE(browser.Window(), nullptr);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(ReadAddressBar(browser.Window(), 1000), std::nullopt);
    EXPECT_LT(MsSince(start), 3000u);
}

TEST(ReadAddressBarOfFakeBrowser, ABrowserStuckInOneCallHoldsTheCallerNoLongerThanTheBound) {
    FakeModernBrowserProcess browser(L"--slow-ms=5000");
    ASSERT_NE(browser.Window(), nullptr);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(ReadAddressBar(browser.Window(), 1000), std::nullopt);
    EXPECT_LT(MsSince(start), 3000u);
}

// The shapes of today's browsers: a thousand tabs before the toolbar, Firefox's newer combo
// box (with the address, or empty above its edit field), a tree built only after the first
// question. Each is read within the node bound, without entering tabs or page, and without
// asking for a single name.
TEST(ReadAddressBarOfFakeBrowser, ReadsTheShapesOfTodaysBrowsersWithoutNamesTabsOrPage) {
    for (const wchar_t* shape : {L"--tabs=1000", L"--combo", L"--combo-child", L"--late-ms=150"}) {
        FakeModernBrowserProcess browser(std::wstring(shape) + L" --address=https://example.jp/shape");
        ASSERT_NE(browser.Window(), nullptr) << shape;
        EXPECT_EQ(Shown(ReadAddressBar(browser.Window())), "https://example.jp/shape") << shape;
        EXPECT_EQ(browser.Stop(), std::optional<DWORD>(0));
        EXPECT_EQ(browser.DocumentCalls(), 0) << shape;
        EXPECT_EQ(browser.NameCalls(), 0) << shape;
    }
}

// A tree built late on a busy machine is asked for again until the bound is spent (one
// question more a moment later was not enough); one never built is given up within the
// bound a window has in a capture.
TEST(ReadAddressBarOfFakeBrowser, ATreeBuiltLateIsAskedForAgainUntilTheBoundIsSpent) {
    {
        FakeModernBrowserProcess browser(L"--late-ms=600 --address=https://example.jp/late");
        ASSERT_NE(browser.Window(), nullptr);
        EXPECT_EQ(Shown(ReadAddressBar(browser.Window(), 3000)), "https://example.jp/late");
    }
    FakeModernBrowserProcess never(L"--late-ms=60000");
    ASSERT_NE(never.Window(), nullptr);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(ReadAddressBar(never.Window(), 750), std::nullopt);
    EXPECT_LT(MsSince(start), 3000u);
}
}  // namespace
