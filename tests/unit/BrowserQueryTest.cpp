// The browser page query: what it makes and frees in the DDE library, and whole captures
// against the fake browser, a separate process, over the real DDE library.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/BrowserQuery.h"
#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "common/SupportProcess.h"
#include "win/UniqueHandle.h"

namespace {
// Stand-ins for the library's lifecycle functions. They pass every call on to the real
// library and write down what was asked, naming string handles by their text.
struct RecordingLibrary {
    static std::vector<std::string>& Calls() {
        static std::vector<std::string> calls;
        return calls;
    }
    static bool& FailInitialize() {
        static bool fail = false;
        return fail;
    }
    static std::string& RefusedName() {
        static std::string name;
        return name;
    }
    static DWORD& Instance() {
        static DWORD instance = 0;
        return instance;
    }
    static std::map<HSZ, std::string>& Names() {
        static std::map<HSZ, std::string> names;
        return names;
    }
    static void Reset() {
        Calls().clear();
        FailInitialize() = false;
        RefusedName().clear();
        Instance() = 0;
        Names().clear();
    }
    static std::string OnWhich(DWORD instance) {
        return instance == Instance() ? "" : " on another instance";
    }

    static UINT WINAPI Initialize(LPDWORD instance, PFNCALLBACK callback, DWORD flags,
                                  DWORD reserved) {
        Calls().push_back("initialize flags=" + std::to_string(flags) +
                          " reserved=" + std::to_string(reserved) +
                          (*instance == 0 ? " from 0" : " from a stale id") +
                          (callback == &BrowserDdeCallback ? " ours" : " other callback"));
        if (FailInitialize()) {
            *instance = 0x1234;
            return DMLERR_SYS_ERROR;
        }
        const UINT result = ::DdeInitializeA(instance, callback, flags, reserved);
        Instance() = *instance;
        return result;
    }
    static HSZ WINAPI CreateString(DWORD instance, LPCSTR text, int codePage) {
        Calls().push_back(std::string("create ") + text + " " + std::to_string(codePage) +
                          OnWhich(instance));
        if (RefusedName() == text) return nullptr;
        HSZ handle = ::DdeCreateStringHandleA(instance, text, codePage);
        Names()[handle] = text;
        return handle;
    }
    static BOOL WINAPI FreeString(DWORD instance, HSZ handle) {
        const auto name = Names().find(handle);
        Calls().push_back("free " + (name == Names().end() ? "unknown" : name->second) +
                          OnWhich(instance));
        return ::DdeFreeStringHandle(instance, handle);
    }
    static BOOL WINAPI Uninitialize(DWORD instance) {
        Calls().push_back("uninitialize" + OnWhich(instance));
        return ::DdeUninitialize(instance);
    }
    static BrowserQuery::Lifecycle Lifecycle() {
        BrowserQuery::Lifecycle lifecycle;
        lifecycle.pfnInitialize = &Initialize;
        lifecycle.pfnCreateString = &CreateString;
        lifecycle.pfnFreeString = &FreeString;
        lifecycle.pfnUninitialize = &Uninitialize;
        return lifecycle;
    }
};

// The message box of a failed Connect, written down instead of shown.
struct RecordedBox {
    int count = 0;
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;

    static RecordedBox& Last() {
        static RecordedBox box;
        return box;
    }
    static int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) {
        RecordedBox& box = Last();
        ++box.count;
        box.owner = owner;
        box.text = text;
        box.caption = caption;
        box.type = type;
        return IDOK;
    }
};

// Stands in for the settings dialog as the owner of the message box.
UniqueWindow MakeOwner() {
    return UniqueWindow(::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, nullptr, nullptr));
}

// A caller's buffer filled with a pattern, to see whether the query wrote to it.
struct CallerBuffer {
    char address[kPageAddressSize];
    char guard[32];
    CallerBuffer() {
        std::memset(address, 'Q', sizeof address);
        std::memset(guard, 'G', sizeof guard);
    }
    bool Untouched() const {
        for (char c : address)
            if (c != 'Q') return false;
        return true;
    }
    bool GuardIntact() const {
        for (char c : guard)
            if (c != 'G') return false;
        return true;
    }
};

void PumpMessagesFor(unsigned ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    MSG msg;
    while (::GetTickCount64() < end) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    }
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

class BrowserQueryLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingLibrary::Reset();
        RecordedBox::Last() = RecordedBox();
        m_query.SetLifecycle(RecordingLibrary::Lifecycle());
        m_query.SetMessageBoxProc(&RecordedBox::Show);
    }
    void TearDown() override { m_query.Close(); }

    static const std::vector<std::string>& Calls() { return RecordingLibrary::Calls(); }

    UniqueWindow m_owner = MakeOwner();
    BrowserQuery m_query;
};

TEST_F(BrowserQueryLifecycle, OpenMakesTheThreeNamesAndCloseFreesExactlyThose) {
    m_query.Open(m_owner.Get());
    EXPECT_NE(m_query.Instance(), 0u);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"initialize flags=16 reserved=0 from 0 ours",
                                                 "create IEXPLORE 1004",
                                                 "create WWW_GetWindowInfo 1004",
                                                 "create 0xFFFFFFFF 1004"}));
    RecordingLibrary::Calls().clear();

    m_query.Close();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"free IEXPLORE", "free WWW_GetWindowInfo",
                                                 "free 0xFFFFFFFF", "uninitialize"}));
    EXPECT_EQ(m_query.Instance(), 0u);

    RecordingLibrary::Calls().clear();
    m_query.Close();
    EXPECT_TRUE(Calls().empty()) << "a second Close has nothing left to free";
}

TEST_F(BrowserQueryLifecycle, FailedInitialisationLeavesNothingToFreeAndEveryConnectFails) {
    RecordingLibrary::FailInitialize() = true;
    m_query.Open(m_owner.Get());
    EXPECT_EQ(Calls().size(), 1u) << "no names without an instance";
    EXPECT_EQ(m_query.Instance(), 0u);

    EXPECT_EQ(m_query.Connect(), -1);
    const RecordedBox& box = RecordedBox::Last();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.owner, m_owner.Get());
    EXPECT_EQ(box.text, "InternetExplorerがみつかりませんでした。");
    EXPECT_EQ(box.caption, "リンク情報設定");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONHAND));
    EXPECT_FALSE(m_query.IsConnected());
    EXPECT_EQ(m_query.Disconnect(), -1);

    CallerBuffer buffer;
    EXPECT_EQ(m_query.QueryPageAddress(buffer.address), -1);
    EXPECT_TRUE(buffer.Untouched());

    m_query.Close();
    m_query.Close();
    EXPECT_EQ(Calls().size(), 1u) << "Close neither frees nor uninitialises";
}

TEST_F(BrowserQueryLifecycle, CloseFreesOnlyTheNamesThatWereMade) {
    RecordingLibrary::RefusedName() = "WWW_GetWindowInfo";
    m_query.Open(m_owner.Get());
    RecordingLibrary::Calls().clear();
    m_query.Close();
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"free IEXPLORE", "free 0xFFFFFFFF", "uninitialize"}));
}

TEST_F(BrowserQueryLifecycle, CloseWithoutOpenFreesNothingAndTheOwnerEndsAnOpenQuery) {
    m_query.Close();
    EXPECT_TRUE(Calls().empty());

    {
        BrowserQuery scoped;
        scoped.SetLifecycle(RecordingLibrary::Lifecycle());
        scoped.Open(m_owner.Get());
        RecordingLibrary::Calls().clear();
    }
    EXPECT_EQ(Calls(), (std::vector<std::string>{"free IEXPLORE", "free WWW_GetWindowInfo",
                                                 "free 0xFFFFFFFF", "uninitialize"}));
}

TEST_F(BrowserQueryLifecycle, OpeningAgainFirstReleasesTheEarlierInstance) {
    m_query.Open(m_owner.Get());
    const DWORD first = m_query.Instance();
    RecordingLibrary::Calls().clear();
    m_query.Open(m_owner.Get());
    ASSERT_GE(Calls().size(), 5u);
    EXPECT_EQ(Calls()[3], "uninitialize");
    EXPECT_EQ(Calls()[4], "initialize flags=16 reserved=0 from 0 ours");
    EXPECT_NE(m_query.Instance(), 0u);
    EXPECT_NE(first, 0u);
}

// The built fake browser, copied into a directory of its own so that its log is this test's
// alone, started and asked to end again when the test is over.
class FakeBrowserProcess : public SupportProcess {
public:
    explicit FakeBrowserProcess(const std::string& arguments)
        : SupportProcess("FakeBrowser.exe", "FakeBrowser", WideFromAnsi(arguments)) {}

    // Whether it runs with its service registered.
    bool IsReady() const { return Window() != nullptr; }

    std::vector<std::string> Log() const { return ReadLines(File("fake-browser.log")); }
    std::size_t Requests() const {
        std::size_t count = 0;
        for (const std::string& line : Log())
            if (line.rfind("request ", 0) == 0) ++count;
        return count;
    }
};

const std::string kWorkedExample = std::string("\"page/one.html\",\"Page one\"") + '\0';

class BrowserQueryRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        RecordedBox::Last() = RecordedBox();
        m_query.SetMessageBoxProc(&RecordedBox::Show);
        m_query.Open(m_owner.Get());
        ASSERT_NE(m_query.Instance(), 0u);
    }
    void TearDown() override { m_query.Close(); }

    std::unique_ptr<FakeBrowserProcess> StartBrowser(const std::string& arguments) {
        auto browser = std::make_unique<FakeBrowserProcess>(arguments + " --lifetime-ms=30000");
        EXPECT_TRUE(browser->IsReady()) << "the fake browser did not start: " << arguments;
        return browser;
    }

    // One capture as the settings dialog makes it: connect, query once, disconnect.
    int Capture(CallerBuffer& buffer) {
        int result = m_query.Connect();
        if (result == 0) result = m_query.QueryPageAddress(buffer.address);
        m_query.Disconnect();
        return result;
    }

    UniqueWindow m_owner = MakeOwner();
    BrowserQuery m_query;
};

TEST_F(BrowserQueryRoundTrip, AnAnswerGivesThePageAddressAfterOnePlainTextRequest) {
    auto browser = StartBrowser("--reply-hex=" + Hex(kWorkedExample));
    ASSERT_TRUE(browser->IsReady());

    ASSERT_EQ(m_query.Connect(), 0);
    EXPECT_TRUE(m_query.IsConnected());
    CallerBuffer buffer;
    EXPECT_EQ(m_query.QueryPageAddress(buffer.address), 0);
    EXPECT_STREQ(buffer.address, "page/one.html");
    EXPECT_EQ(m_query.Disconnect(), 0);
    EXPECT_EQ(m_query.Disconnect(), -1) << "the conversation is gone";
    EXPECT_EQ(RecordedBox::Last().count, 0);

    CallerBuffer after;
    EXPECT_EQ(m_query.QueryPageAddress(after.address), -1);
    EXPECT_TRUE(after.Untouched());

    EXPECT_EQ(browser->Log(), (std::vector<std::string>{"connect IEXPLORE WWW_GetWindowInfo",
                                                        "request WWW_GetWindowInfo 0xFFFFFFFF 1"}));
    EXPECT_EQ(browser->Stop(), std::optional<DWORD>(0)) << "WM_CLOSE ends it cleanly";
}

TEST_F(BrowserQueryRoundTrip, ASecondCaptureAfterAMessageLoopStillFindsTheBrowser) {
    auto browser = StartBrowser("--reply-hex=" + Hex(kWorkedExample));
    ASSERT_TRUE(browser->IsReady());

    for (int capture = 1; capture <= 3; ++capture) {
        SCOPED_TRACE(capture);
        ASSERT_EQ(m_query.Connect(), 0);
        CallerBuffer buffer;
        EXPECT_EQ(m_query.QueryPageAddress(buffer.address), 0);
        EXPECT_STREQ(buffer.address, "page/one.html");
        PumpMessagesFor(300);  // the question to the user that follows a capture
        EXPECT_EQ(m_query.Disconnect(), 0);
        PumpMessagesFor(100);
    }
    EXPECT_EQ(RecordedBox::Last().count, 0);
    EXPECT_EQ(browser->Requests(), 3u);
}

TEST_F(BrowserQueryRoundTrip, NoBrowserShowsTheMessageOnceAndLeavesNoConversation) {
    CallerBuffer buffer;
    EXPECT_EQ(Capture(buffer), -1);
    const RecordedBox& box = RecordedBox::Last();
    EXPECT_EQ(box.count, 1);
    EXPECT_EQ(box.owner, m_owner.Get());
    EXPECT_EQ(box.text, "InternetExplorerがみつかりませんでした。");
    EXPECT_EQ(box.caption, "リンク情報設定");
    EXPECT_EQ(box.type, 0x10u);
    EXPECT_FALSE(m_query.IsConnected());
    EXPECT_TRUE(buffer.Untouched());
}

TEST_F(BrowserQueryRoundTrip, ARefusedConnectionCountsAsNoBrowser) {
    auto browser = StartBrowser("--refuse-connect");
    ASSERT_TRUE(browser->IsReady());
    CallerBuffer buffer;
    EXPECT_EQ(Capture(buffer), -1);
    EXPECT_EQ(RecordedBox::Last().count, 1);
    EXPECT_FALSE(m_query.IsConnected());
    EXPECT_EQ(browser->Log(), std::vector<std::string>{"connect IEXPLORE WWW_GetWindowInfo"});
}

TEST_F(BrowserQueryRoundTrip, ARefusedRequestGivesMinusTwoAndLeavesTheBufferAlone) {
    auto browser = StartBrowser("--refuse-request");
    ASSERT_TRUE(browser->IsReady());
    ASSERT_EQ(m_query.Connect(), 0);
    CallerBuffer buffer;
    EXPECT_EQ(m_query.QueryPageAddress(buffer.address), -2);
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(m_query.Disconnect(), 0);
    EXPECT_EQ(browser->Requests(), 1u);
    EXPECT_EQ(RecordedBox::Last().count, 0) << "a refused request is not reported";
}

TEST_F(BrowserQueryRoundTrip, ALateAnswerIsGivenUpAfterOneSecond) {
    auto browser = StartBrowser("--reply-hex=" + Hex(kWorkedExample) + " --late-ms=2500");
    ASSERT_TRUE(browser->IsReady());
    ASSERT_EQ(m_query.Connect(), 0);
    CallerBuffer buffer;
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(m_query.QueryPageAddress(buffer.address), -2);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 2000u) << "the query must not wait for the late answer";
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(m_query.Disconnect(), 0);
    EXPECT_EQ(browser->Stop(), std::optional<DWORD>(0)) << "still ends on WM_CLOSE";
}

TEST_F(BrowserQueryRoundTrip, RepliesAreReadWithinTheirSize) {
    {
        SCOPED_TRACE("no terminator, no quotes");
        auto browser = StartBrowser("--reply-hex=" + Hex("abc"));
        ASSERT_TRUE(browser->IsReady());
        CallerBuffer buffer;
        EXPECT_EQ(Capture(buffer), 0);
        EXPECT_STREQ(buffer.address, "abc");
    }
    {
        SCOPED_TRACE("2000-character address");
        auto browser = StartBrowser("--reply-hex=" +
                                    Hex("\"" + std::string(2000, 'a') + "\",\"t\"" + '\0'));
        ASSERT_TRUE(browser->IsReady());
        CallerBuffer buffer;
        EXPECT_EQ(Capture(buffer), 0);
        EXPECT_EQ(std::string(buffer.address), std::string(1023, 'a'));
        EXPECT_TRUE(buffer.GuardIntact());
    }
}

TEST_F(BrowserQueryRoundTrip, AnEmptyQuotedFirstFieldGivesAnEmptyAddress) {
    auto browser = StartBrowser("--reply-hex=" + Hex(std::string("\"\",\"Blank\"") + '\0'));
    ASSERT_TRUE(browser->IsReady());
    CallerBuffer buffer;
    EXPECT_EQ(Capture(buffer), 0);
    EXPECT_STREQ(buffer.address, "");
    EXPECT_EQ(browser->Requests(), 1u);
}

TEST_F(BrowserQueryRoundTrip, TheFakeBrowserEndsByItselfAfterItsLifetime) {
    FakeBrowserProcess browser("--lifetime-ms=300");
    ASSERT_TRUE(browser.IsReady());
    ASSERT_EQ(::WaitForSingleObject(browser.Process(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    EXPECT_TRUE(::GetExitCodeProcess(browser.Process(), &code));
    EXPECT_EQ(code, 0u);
}
}  // namespace
