// The sign-in task's definition, read back by the system's XML parser the way the Task
// Scheduler reads it (under Wine the scheduler keeps only a stub of what it is given, so the
// XML itself is what can be checked).
#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "common/FileText.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "shell/SignInRules.h"
#include "shell/SignInService.h"
#include "shell/SignInTask.h"
#include "win/ComApartment.h"
#include "win/ComPtr.h"
#include "win/UniqueHandle.h"

namespace {
constexpr CLSID kClsidDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
constexpr IID kIidDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

class ParsedTask {
public:
    explicit ParsedTask(const std::wstring& xml) {
        if (FAILED(::CoCreateInstance(kClsidDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIidDomDocument2,
                                      reinterpret_cast<void**>(m_document.Put()))))
            return;
        m_document->put_async(VARIANT_FALSE);
        UniqueBstr text(::SysAllocString(xml.c_str()));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        m_bParsed = SUCCEEDED(m_document->loadXML(text.Get(), &loaded)) && loaded == VARIANT_TRUE;
        SetProperty(L"SelectionLanguage", L"XPath");
        SetProperty(L"SelectionNamespaces",
                    L"xmlns:t='http://schemas.microsoft.com/windows/2004/02/mit/task'");
    }
    bool Parsed() const { return m_bParsed; }
    // The text of the one element at the path below /t:Task.
    std::wstring Text(const wchar_t* path) const {
        UniqueBstr query(::SysAllocString((std::wstring(L"/t:Task/") + path).c_str()));
        ComPtr<IXMLDOMNode> node;
        if (m_document->selectSingleNode(query.Get(), node.Put()) != S_OK || !node) return L"<missing>";
        BSTR value = nullptr;
        node->get_text(&value);
        UniqueBstr owned(value);
        return value ? value : L"";
    }

private:
    void SetProperty(const wchar_t* name, const wchar_t* value) {
        UniqueBstr property(::SysAllocString(name));
        VARIANT setting{};
        setting.vt = VT_BSTR;
        setting.bstrVal = ::SysAllocString(value);
        m_document->setProperty(property.Get(), setting);
        ::VariantClear(&setting);
    }
    ComPtr<IXMLDOMDocument2> m_document;
    bool m_bParsed = false;
};

TEST(SignInTask, DefinitionStartsThisProgramAtThisUsersLogonElevatedWithoutLimits) {
    ComApartment com;
    // A path and a user that need escaping in XML, and Japanese.
    const std::wstring user = L"PC\\\u30e6\u30fc\u30b6\u30fc";
    const std::wstring program = L"C:\\Tools & <Mine>\\Vorlund\u8868.exe";
    ParsedTask task(SignInTask::BuildXml(user, program));
    ASSERT_TRUE(task.Parsed());
    EXPECT_EQ(task.Text(L"t:Triggers/t:LogonTrigger/t:UserId"), user);
    EXPECT_EQ(task.Text(L"t:Triggers/t:LogonTrigger/t:Enabled"), L"true");
    EXPECT_EQ(task.Text(L"t:Principals/t:Principal/t:UserId"), user);
    EXPECT_EQ(task.Text(L"t:Principals/t:Principal/t:RunLevel"), L"HighestAvailable");
    EXPECT_EQ(task.Text(L"t:Principals/t:Principal/t:LogonType"), L"InteractiveToken");
    EXPECT_EQ(task.Text(L"t:Actions/t:Exec/t:Command"), program);
    EXPECT_EQ(task.Text(L"t:Settings/t:ExecutionTimeLimit"), L"PT0S") << "no time limit";
    EXPECT_EQ(task.Text(L"t:Settings/t:StartWhenAvailable"), L"true");
    EXPECT_EQ(task.Text(L"t:Settings/t:DisallowStartIfOnBatteries"), L"false");
    EXPECT_EQ(task.Text(L"t:Settings/t:StopIfGoingOnBatteries"), L"false");

    // Per account: two accounts of the same name in different domains have tasks of their own.
    EXPECT_EQ(SignInTask::NameFor(L"PC\\bob"), L"Vorlund (bob@PC)");
    EXPECT_EQ(SignInTask::NameFor(L"CORP\\bob"), L"Vorlund (bob@CORP)");
    EXPECT_EQ(SignInTask::NameFor(L"bob"), L"Vorlund (bob)");
    EXPECT_EQ(SignInTask::Name(), SignInTask::NameFor(SignInTask::CurrentUserId()));
}

// Registration itself, called directly: the tray item refuses it wherever the user could
// change the program's files, which under Wine is everywhere.
TEST(SignInTask, RegisteredTaskStartsThisProgramAndIsRemovedAgain) {
    ComApartment com;
    const std::vector<std::wstring> program{SignInTask::ProgramPath()};
    const SignInStatus before = SignInTask::Query(program);
    ASSERT_NE(before, SignInStatus::Unreachable);
    ASSERT_TRUE(SignInTask::Register(program.front()));
    // Wine keeps the task but drops its Exec action's command (it stores "<Exec/>"), so a
    // task read back there starts no known path; Windows gives back this program's.
    const SignInStatus registered = SignInTask::Query(program);
    EXPECT_TRUE(registered == SignInStatus::ThisProgram || registered == SignInStatus::OtherProgram);
    ASSERT_TRUE(SignInTask::Remove());
    EXPECT_EQ(SignInTask::Query(program), SignInStatus::Absent);
}

// The scheduler and the file system as start at sign-in sees them: one protected folder, one
// folder of the user's that is a junction into it, and what was registered or removed.
class StandInSignIn : public SignInSystem {
public:
    SignInStatus status = SignInStatus::Absent;
    bool registerSucceeds = true;
    std::vector<std::wstring> registered;
    int removed = 0;
    // When set, a question waits for this event: a scheduler that hangs. asked is set first.
    HANDLE answer = nullptr;
    HANDLE asked = nullptr;

    SignInStatus Query(const std::vector<std::wstring>&) override {
        if (asked) ::SetEvent(asked);
        if (answer) ::WaitForSingleObject(answer, 30000);
        return status;
    }
    bool Register(const std::wstring& command) override { return registered.push_back(command), registerSucceeds; }
    bool Remove() override { return ++removed, true; }
    // Two junctions: one into the protected folder, one into a protected folder named with a '%'.
    std::wstring FinalPath(const std::wstring& folder) override {
        if (folder == L"C:\\Users\\me\\P") return kPercentFolder;
        return folder == L"C:\\Users\\me\\V" ? L"C:\\Program Files\\V" : folder;
    }
    bool IsProtected(const std::wstring& folder, const std::vector<std::wstring>&) override {
        return folder == L"C:\\Program Files\\V" || folder == kPercentFolder;
    }
    static constexpr const wchar_t* kPercentFolder = L"C:\\Program Files\\V%USERNAME%";
};

// A click registers exactly the place that was checked (a junction swapped later changes
// nothing), refuses what it must and says why, never reports a failed registration as done,
// and removes this copy's task only unasked where its place is still protected.
TEST(SignInRules, AClickRegistersTheCheckedPlaceOrSaysWhy) {
    constexpr wchar_t kProtected[] = L"C:\\Program Files\\V\\Vorlund.exe";
    const struct {
        SignInStatus status;
        const wchar_t* program;
        bool registerSucceeds;
        unsigned text;
        const wchar_t* registered;
        int removed;
    } cases[] = {
        {SignInStatus::Absent, L"C:\\Users\\me\\V\\Vorlund.exe", true, 0, kProtected, 0},
        {SignInStatus::OtherProgram, kProtected, true, 0, kProtected, 0},
        {SignInStatus::Absent, L"C:\\Tools\\Vorlund.exe", true, IDS_SIGNIN_NEEDS_PROTECTED_FOLDER, nullptr, 0},
        {SignInStatus::Absent, L"C:\\Program Files\\V%USERNAME%\\Vorlund.exe", true, IDS_SIGNIN_PATH_HAS_PERCENT,
         nullptr, 0},
        {SignInStatus::Absent, L"C:\\Users\\me\\P\\Vorlund.exe", true, IDS_SIGNIN_PATH_HAS_PERCENT, nullptr, 0},
        {SignInStatus::Absent, L"Vorlund.exe", true, IDS_SIGNIN_NEEDS_PROTECTED_FOLDER, nullptr, 0},
        {SignInStatus::Absent, kProtected, false, IDS_SIGNIN_TASK_NOT_REGISTERED, kProtected, 0},
        {SignInStatus::ThisProgram, kProtected, true, 0, nullptr, 1},
        {SignInStatus::ThisProgram, L"C:\\Tools\\Vorlund.exe", true, IDS_SIGNIN_OFFER_REMOVAL, nullptr, 0},
        {SignInStatus::Unreachable, kProtected, true, IDS_SIGNIN_SCHEDULER_UNREACHABLE, nullptr, 0},
    };
    for (const auto& c : cases) {
        StandInSignIn system;
        system.status = c.status;
        system.registerSucceeds = c.registerSucceeds;
        const SignInOutcome outcome = ToggleSignIn(system, c.program);
        EXPECT_EQ(outcome.text, c.text) << c.program;
        EXPECT_EQ(outcome.askToRemove, c.text == IDS_SIGNIN_OFFER_REMOVAL) << c.program;
        EXPECT_EQ(system.registered, c.registered ? std::vector<std::wstring>{c.registered} : std::vector<std::wstring>{})
            << c.program;
        EXPECT_EQ(system.removed, c.removed) << c.program;
    }
}

// Memory for one object that, once the object has ended, is a guard page: the first read or
// write of it from any thread is recorded (and let through to the zeros left there).
class EndedObjectPage {
public:
    static constexpr SIZE_T kSize = 4096;
    EndedObjectPage()
        : m_pMemory(::VirtualAlloc(nullptr, kSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)),
          m_pHandler(::AddVectoredExceptionHandler(1, &Record)) {
        s_pPage = m_pMemory;
    }
    ~EndedObjectPage() {
        ::RemoveVectoredExceptionHandler(m_pHandler);
        ::VirtualFree(m_pMemory, 0, MEM_RELEASE);
    }
    EndedObjectPage(const EndedObjectPage&) = delete;
    EndedObjectPage& operator=(const EndedObjectPage&) = delete;

    void* Memory() const noexcept { return m_pMemory; }
    // fill: what the ended object's bytes read as afterwards.
    void Guard(unsigned char fill = 0) {
        std::memset(m_pMemory, fill, kSize);
        DWORD before = 0;
        ::VirtualProtect(m_pMemory, kSize, PAGE_READWRITE | PAGE_GUARD, &before);
    }
    static bool Touched() noexcept { return s_bTouched.load(); }

private:
    static LONG CALLBACK Record(EXCEPTION_POINTERS* exception) {
        const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
        const auto* page = static_cast<const char*>(s_pPage);
        const auto* address = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
        if (record.ExceptionCode != STATUS_GUARD_PAGE_VIOLATION || record.NumberParameters < 2 || address < page ||
            address >= page + kSize)
            return EXCEPTION_CONTINUE_SEARCH;
        s_bTouched = true;
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    static inline std::atomic<bool> s_bTouched{false};
    static inline void* s_pPage = nullptr;
    void* m_pMemory;
    void* m_pHandler;
};

// The program ends while the scheduler holds the worker past its stop wait: the service is
// gone when the scheduler answers, and the job finishes on what it was given alone.
TEST(SignInService, AJobThatOutlivesTheServiceTouchesNothingOfIt) {
    const UniqueWindow window(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    const UniqueKernelHandle answer(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle asked(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    auto system = std::make_shared<StandInSignIn>();
    system->status = SignInStatus::ThisProgram;  // the job also checks the place after the answer
    system->answer = answer.Get();
    system->asked = asked.Get();

    EndedObjectPage page;
    static_assert(sizeof(SignInService) <= EndedObjectPage::kSize, "one page");
    auto* service = new (page.Memory()) SignInService(
        window.Get(), WM_APP, L"C:\\Users\\me\\V\\Vorlund.exe", [](const char*, bool) { return true; },
        system);
    service->Toggle();
    ASSERT_EQ(::WaitForSingleObject(asked.Get(), 10000), WAIT_OBJECT_0);
    service->~SignInService();
    page.Guard();
    ::SetEvent(answer.Get());

    // The job lets go of its copies when it is done.
    EXPECT_TRUE(WaitUntil([&] { return system.use_count() == 1; }, 10000)) << "the job did not end";
    EXPECT_FALSE(EndedObjectPage::Touched()) << "the worker read the ended service";
}

// The program ends while the reply's question is open (its box's loop runs the exit); the
// user's yes afterwards touches nothing of the ended service.
TEST(SignInService, AReplyWhoseBoxOutlivesTheServiceTouchesNothingOfIt) {
    const UniqueWindow window(
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    auto system = std::make_shared<StandInSignIn>();
    system->status = SignInStatus::ThisProgram;  // this copy's task, its place open to others: asks

    EndedObjectPage page;
    SignInService* service = nullptr;
    bool asked = false;
    service = new (page.Memory()) SignInService(
        window.Get(), WM_APP, L"C:\\Tools\\Vorlund.exe",
        [&](const char*, bool question) {
            asked = question;
            service->~SignInService();
            page.Guard(1);  // its flags read as set: a reply that looks goes no further
            return true;
        },
        system);
    service->Toggle();
    ASSERT_TRUE(WaitUntil([&] { return service->RunReplies(), asked; }, 10000)) << "no question";
    EXPECT_FALSE(EndedObjectPage::Touched()) << "the reply used the ended service";
    EXPECT_EQ(system->removed, 0);
}

TEST(SignInRules, ThisCopysTaskIsOnOnlyWhileItsPlaceIsProtected) {
    const struct {
        SignInStatus status;
        bool placeProtected;
        SignInItem item;
    } cases[] = {
        {SignInStatus::ThisProgram, true, SignInItem::On},
        {SignInStatus::ThisProgram, false, SignInItem::OfferRemoval},
        {SignInStatus::OtherProgram, true, SignInItem::Off},
        {SignInStatus::Absent, false, SignInItem::Off},
        {SignInStatus::Unreachable, true, SignInItem::Unavailable},
        {SignInStatus::Unknown, true, SignInItem::Unavailable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ItemFor(c.status, c.placeProtected), c.item) << static_cast<int>(c.status) << c.placeProtected;
}
}  // namespace
