// The sign-in task's definition, read back by the system's XML parser the way the Task
// Scheduler reads it (under Wine the scheduler keeps only a stub of what it is given, so the
// XML itself is what can be checked).
#include <gtest/gtest.h>

#include <windows.h>
#include <msxml2.h>

#include <string>

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

    const std::wstring name = SignInTask::Name();
    EXPECT_EQ(name.rfind(L"Vorlund (", 0), 0u) << "fixed, per user";
    EXPECT_EQ(name.find(L'\\'), std::wstring::npos) << "no folder";
}

// Registration itself, called directly: the tray item refuses it wherever the user could
// change the program's files, which under Wine is everywhere.
TEST(SignInTask, RegisteredTaskStartsThisProgramAndIsRemovedAgain) {
    ComApartment com;
    const SignInStatus before = SignInTask::Query();
    ASSERT_NE(before, SignInStatus::Unreachable);
    ASSERT_TRUE(SignInTask::Register());
    // Wine keeps the task but drops its Exec action's command (it stores "<Exec/>"), so a
    // task read back there starts no known path; Windows gives back this program's.
    const SignInStatus registered = SignInTask::Query();
    EXPECT_TRUE(registered == SignInStatus::ThisProgram || registered == SignInStatus::OtherProgram);
    ASSERT_TRUE(SignInTask::Remove());
    EXPECT_EQ(SignInTask::Query(), SignInStatus::Absent);
}
}  // namespace
