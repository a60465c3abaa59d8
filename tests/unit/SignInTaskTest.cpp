// The sign-in task's definition, read back by the system's XML parser the way the Task
// Scheduler reads it (under Wine the scheduler keeps only a stub of what it is given, so the
// XML itself is what can be checked).
#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/texts.h"
#include "shell/SignInRules.h"
#include "shell/SignInTask.h"
#include "win/ComApartment.h"
#include "win/ComPtr.h"

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
}  // namespace

namespace {
// The scheduler and the file system as start at sign-in sees them: folders that resolve
// elsewhere (a junction), places that are protected, and what was registered.
class StandInSignIn : public SignInSystem {
public:
    std::map<std::wstring, std::wstring> finalFolders;  // folder -> final path; absent: itself
    std::set<std::wstring> protectedFolders;
    SignInStatus status = SignInStatus::Absent;
    bool registerSucceeds = true;
    std::vector<std::wstring> registered;
    int removed = 0;

    SignInStatus Query(const std::vector<std::wstring>&) override { return status; }
    bool Register(const std::wstring& command) override {
        registered.push_back(command);
        return registerSucceeds;
    }
    bool Remove() override { return ++removed, true; }
    std::wstring FinalPath(const std::wstring& folder) override {
        const auto found = finalFolders.find(folder);
        return found == finalFolders.end() ? folder : found->second;
    }
    bool IsProtected(const std::wstring& folder, const std::vector<std::wstring>&) override {
        return protectedFolders.count(folder) != 0;
    }
};

TEST(SignInRules, TheTaskNamesExactlyThePlaceThatWasChecked) {
    StandInSignIn system;
    system.protectedFolders = {L"C:\\Program Files\\Vorlund"};
    // Started through a junction the user owns that leads into Program Files: the task names
    // Program Files, so swapping the junction later changes nothing.
    system.finalFolders[L"C:\\Users\\me\\V"] = L"C:\\Program Files\\Vorlund";
    EXPECT_EQ(ToggleSignIn(system, L"C:\\Users\\me\\V\\Vorlund.exe").text, nullptr);
    EXPECT_EQ(system.registered, std::vector<std::wstring>{L"C:\\Program Files\\Vorlund\\Vorlund.exe"});

    const struct {
        const wchar_t* program;
        const char* why;
    } refusals[] = {
        {L"C:\\Tools\\Vorlund\\Vorlund.exe", texts::kSignInNeedsProtectedFolder},
        {L"C:\\Program Files\\Vorlund%USERNAME%\\Vorlund.exe", texts::kSignInPathHasPercent},
        {L"Vorlund.exe", texts::kSignInNeedsProtectedFolder},
    };
    system.protectedFolders.insert(L"C:\\Program Files\\Vorlund%USERNAME%");
    for (const auto& refusal : refusals) {
        system.registered.clear();
        EXPECT_STREQ(ToggleSignIn(system, refusal.program).text, refusal.why);
        EXPECT_TRUE(system.registered.empty());
    }
    // A registration that fails after the place passed is a failure, never a success.
    system.registerSucceeds = false;
    EXPECT_STREQ(ToggleSignIn(system, L"C:\\Program Files\\Vorlund\\Vorlund.exe").text,
                 texts::kSignInTaskNotRegistered);
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

    // A click on an unprotected copy's task asks before removing it; a protected one's goes.
    StandInSignIn system;
    system.status = SignInStatus::ThisProgram;
    const SignInOutcome asked = ToggleSignIn(system, L"C:\\Tools\\Vorlund.exe");
    EXPECT_TRUE(asked.askToRemove);
    EXPECT_EQ(system.removed, 0);
    system.protectedFolders = {L"C:\\Tools"};
    EXPECT_EQ(ToggleSignIn(system, L"C:\\Tools\\Vorlund.exe").text, nullptr);
    EXPECT_EQ(system.removed, 1);
}
}  // namespace
