// The link dialog in-process: the key's link in the edit, drops on the edit, the length
// limit, OK storing the text exactly, Cancel storing nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

#include "common/DropHandle.h"
#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "common/FilterRecorder.h"
#include "common/ModalScript.h"
#include "common/ScopedUiLanguage.h"
#include "settings/LinkDialog.h"
#include "settings/LinkInput.h"
#include "win/CodePage932.h"
#include "win/FileOpenDialog.h"
#include "win/WindowText.h"
#include "res/KeyControlIds.h"
#include "res/texts.h"

namespace {
class LinkDialogInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 30; ++n) m_table.Append(KeySet{n});
        m_table.At(2).ReplaceLink("C:\\old.txt");
        m_table.At(2).ReplaceCaption("cap");
    }
    INT_PTR Run(int index, ModalScript& script) {
        LinkDialog dialog(m_table, nullptr);
        dialog.SetKeyIndex(index);
        dialog.SetMessageFilterProc(&FilterRecorder::Allow);
        script.Start();
        const INT_PTR result = dialog.DoModal();
        script.Stop();
        EXPECT_TRUE(script.Finished());
        return result;
    }
    HWND Dialog() { return FindThreadWindow("リンク情報設定"); }
    KeySetTable m_table;
};

TEST_F(LinkDialogInProcess, DropsReplaceTheTextOkStoresItExactly) {
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Dialog()) != nullptr; })
        .Then([&] {
            EXPECT_EQ(ControlText(dialog, IDC_LINK_EDIT), "C:\\old.txt");
            EXPECT_EQ(::SendDlgItemMessageA(dialog, 1066, EM_GETLIMITTEXT, 0, 0), 1024);
            HWND edit = ::GetDlgItem(dialog, IDC_LINK_EDIT);
            ::PostMessageA(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.txt", "C:\\b.txt"})), 0);
            return true;
        })
        .Then([&] {
            EXPECT_EQ(ControlText(dialog, IDC_LINK_EDIT), "C:\\old.txt") << "two files: ignored";
            ::PostMessageA(::GetDlgItem(dialog, IDC_LINK_EDIT), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\Docs\\ソフト.lnk"})), 0);
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_LINK_EDIT) != "C:\\Docs\\ソフト.lnk") return false;
            ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, "  http://example.com/ x ");
            ClickButton(dialog, IDOK);
            return true;
        });
    EXPECT_EQ(Run(2, script), IDOK);
    const KeySet& record = m_table.At(2);
    EXPECT_EQ(record.link, "  http://example.com/ x ") << "neither trimmed nor checked";
    EXPECT_EQ(record.caption, "cap");
}

// The first link's start and the further links in their list, reordered and removed; then
// the same key set to type a text, whose line breaks are stored as "\n" and its links gone.
TEST_F(LinkDialogInProcess, StartFurtherLinksAndTheChoiceToTypeAText) {
    ScratchDirectory folder("start folder");
    m_table.At(2).moreLinks = {{"https://a.example/", {}}, {"C:\\b.exe", {"-b", "", WindowShow::Minimized}}};
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Dialog()) != nullptr; })
        .Then([&] {
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_LINK_ARGUMENTS))) << "a document takes none";
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_TYPED_TEXT)));
            EXPECT_EQ(::SendDlgItemMessageA(dialog, IDC_MORE_LINKS, LB_GETCOUNT, 0, 0), 2);
            ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, "C:\\Tools\\edit.exe");
            ::SetDlgItemTextA(dialog, IDC_LINK_ARGUMENTS, "\"C:\\My Files\\a.txt\" /x");
            ::SetDlgItemTextA(dialog, IDC_LINK_START_IN, folder.WithSlash().c_str());
            ::SendDlgItemMessageA(dialog, IDC_LINK_SHOW, CB_SETCURSEL, 2, 0);
            ::SendDlgItemMessageA(dialog, IDC_MORE_LINKS, LB_SETCURSEL, 1, 0);
            ClickButton(dialog, IDC_MORE_UP);
            return true;
        })
        .Then([&] {
            EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_LINK_ARGUMENTS))) << "a program takes them";
            ::SendDlgItemMessageA(dialog, IDC_MORE_LINKS, LB_SETCURSEL, 1, 0);
            ClickButton(dialog, IDC_MORE_REMOVE);
            ClickButton(dialog, IDOK);
            return true;
        });
    ASSERT_EQ(Run(2, script), IDOK);
    const KeySet& record = m_table.At(2);
    EXPECT_EQ(record.link, "C:\\Tools\\edit.exe");
    EXPECT_EQ(record.start, (LinkStart{"\"C:\\My Files\\a.txt\" /x", folder.WithSlash(), WindowShow::Maximized}));
    EXPECT_EQ(record.moreLinks, (std::vector<KeyLink>{{"C:\\b.exe", {"-b", "", WindowShow::Minimized}}}));

    ModalScript typing;
    typing.Then([&] { return (dialog = Dialog()) != nullptr; })
        .Then([&] {
            ClickButton(dialog, IDC_DO_TYPE_TEXT);
            return true;
        })
        .Then([&] {
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_LINK_EDIT)));
            ::SetDlgItemTextW(dialog, IDC_TYPED_TEXT, L"\u3088\u308D\u3057\u304F\r\n\t\u2603");
            ClickButton(dialog, IDOK);
            return true;
        })
        .Then([&] {
            // The snowman has no code in code page 932: refused, and the dialog stays.
            HWND box = FindOwnedBox(dialog);
            if (!box) return false;
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        })
        .Then([&] {
            ::SetDlgItemTextW(dialog, IDC_TYPED_TEXT, L"\u3088\u308D\u3057\u304F\r\n\tA");
            ClickButton(dialog, IDOK);
            return true;
        });
    ASSERT_EQ(Run(2, typing), IDOK);
    EXPECT_EQ(record.text, "よろしく\n\tA");
    EXPECT_TRUE(record.TypesText());
    EXPECT_TRUE(record.Links().empty());
}

TEST_F(LinkDialogInProcess, EmptyOkRemovesTheLinkAndCancelKeepsIt) {
    HWND dialog = nullptr;
    ModalScript cancel;
    cancel.Then([&] { return (dialog = Dialog()) != nullptr; }).Then([&] {
        ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, "C:\\changed.txt");
        ClickButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(Run(2, cancel), IDCANCEL);
    EXPECT_EQ(m_table.At(2).link, "C:\\old.txt");

    ModalScript empty;
    empty.Then([&] { return (dialog = Dialog()) != nullptr; }).Then([&] {
        ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, "");
        ClickButton(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(Run(2, empty), IDOK);
    EXPECT_FALSE(m_table.At(2).HasLink());
}

TEST_F(LinkDialogInProcess, TheLongestLinkIsStoredWhole) {
    const std::string longest = "C:\\" + std::string(1021, 'x');
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Dialog()) != nullptr; }).Then([&] {
        ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, longest.c_str());
        ClickButton(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(Run(9, script), IDOK);
    EXPECT_EQ(m_table.At(9).link, longest);
}

// A path of 130 double-byte characters needs more than MAX_PATH bytes: it arrives whole.
// Beyond the link's 1024 bytes, a drop or a typed or pasted text is refused with a message,
// never stored cut, and the dialog stays open.
TEST_F(LinkDialogInProcess, LongDropsArriveWholeAndTooLongLinksAreRefused) {
    std::string longPath = "C:\\";
    for (int i = 0; i < 130; ++i) longPath += "表";
    std::string doubleByte;
    for (int i = 0; i < 600; ++i) doubleByte += "表";
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Dialog()) != nullptr; })
        .Then([&] {
            EXPECT_TRUE(FilterRecorder::AdmitsDrops(::GetDlgItem(dialog, IDC_LINK_EDIT))) << "drops from Explorer";
            ::PostMessageA(::GetDlgItem(dialog, IDC_LINK_EDIT), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({longPath})), 0);
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_LINK_EDIT) != longPath) return false;
            ::PostMessageA(::GetDlgItem(dialog, IDC_LINK_EDIT), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\" + std::string(1100, 'x')})), 0);
            return true;
        })
        .Then([&] {
            HWND box = FindOwnedBox(dialog);
            if (!box) return false;
            EXPECT_EQ(ControlText(box, 0xFFFF).rfind("リンク先が長すぎます", 0), 0u);
            ClickButton(box, IDOK);
            return true;
        })
        .Then([&] {
            if (FindOwnedBox(dialog)) return false;
            EXPECT_EQ(ControlText(dialog, IDC_LINK_EDIT), longPath);
            ::SetDlgItemTextA(dialog, IDC_LINK_EDIT, doubleByte.c_str());
            ClickButton(dialog, IDOK);
            return true;
        })
        .Then([&] {
            HWND box = FindOwnedBox(dialog);
            if (!box) return false;
            ClickButton(box, IDOK);
            return true;
        })
        .Then([&] {
            if (FindOwnedBox(dialog)) return false;
            EXPECT_TRUE(::IsWindowVisible(dialog)) << "kept open";
            ClickButton(dialog, IDCANCEL);
            return true;
        });
    EXPECT_EQ(Run(2, script), IDCANCEL);
    EXPECT_EQ(m_table.At(2).link, "C:\\old.txt");
}

TEST(FileOpenDialog, FilterInTheSystemsForm) {
    EXPECT_EQ(SystemFilterFrom(UiText(IDS_BROWSE_FILTER)),
              std::wstring(L"すべてファイル (*.*)") + L'\0' + L"*.*" + L'\0' + L'\0');
    ScopedUiLanguage english(UiLanguage::English);
    EXPECT_EQ(SystemFilterFrom(UiText(IDS_BROWSE_FILTER)), std::wstring(L"All files (*.*)") + L'\0' + L"*.*" + L'\0' + L'\0');
    EXPECT_EQ(LinkDialog::kBrowseFlags,
              static_cast<DWORD>(OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_FILEMUSTEXIST |
                                 OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));
}

// Names and addresses code page 932 cannot hold: never stored as "?" or a look-alike. A file
// is stored under its short name, which opens that very file (never cafe.txt beside café.txt);
// an address keeps what CP932 holds and escapes the rest; a path with no short name is
// refused with a box that names it.
TEST(LinkInput, NamesCodePage932CannotHoldAreStoredAsTheSameFileOrRefused) {
    ScratchDirectory dir("names");
    const std::wstring folder = WideFromCp932(dir.Path()) + L"\\";
    for (const auto& [name, content] : {std::pair{folder + L"\uD55C\uAD6D\uC5B4.txt", "hangul"},
                                        {folder + L"caf\u00E9.txt", "cafe-accent"}, {folder + L"cafe.txt", "decoy"}})
        ASSERT_TRUE(WriteFileBytes(name, content));
    const struct {
        std::wstring given;
        const char* opens;   // the content the stored link opens, or null
        const char* stored;  // or the stored link itself, or null when refused
    } cases[] = {
        {folder + L"\uD55C\uAD6D\uC5B4.txt", "hangul", nullptr},
        {folder + L"caf\u00E9.txt", "cafe-accent", nullptr},
        {L"https://ko.wikipedia.org/wiki/\uD55C\uAD6D\uC5B4", nullptr,
         "https://ko.wikipedia.org/wiki/%ED%95%9C%EA%B5%AD%EC%96%B4"},
        {folder + L"new-\uD55C.txt", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const LinkInput input = LinkFromTypedText(c.given);
        if (c.opens) {
            EXPECT_EQ(ReadFileBytes(input.link.value_or("")).value_or(""), c.opens);
        } else if (c.stored) {
            EXPECT_EQ(input.link.value_or(""), c.stored);
        } else {
            EXPECT_FALSE(input.link);
            EXPECT_EQ(input.refusal.find(L"\u300C" + c.given + L"\u300D"), 0u) << "the box names the file";
        }
    }
}

// Explorer's drops are wide: a Hangul-named file dropped on the edit is shown as it is named
// and OK stores the form that opens it.
TEST_F(LinkDialogInProcess, AWideDropIsShownAsNamedAndStoredAsTheSameFile) {
    ScratchDirectory dir("wide-drop");
    const std::wstring file = WideFromCp932(dir.Path()) + L"\\\uD55C.txt";
    ASSERT_TRUE(WriteFileBytes(file, "hangul"));
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Dialog()) != nullptr; })
        .Then([&] {
            ::PostMessageA(::GetDlgItem(dialog, IDC_LINK_EDIT), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop({file})), 0);
            return true;
        })
        .Then([&] {
            if (WideWindowTextOf(::GetDlgItem(dialog, IDC_LINK_EDIT)) != file) return false;
            ClickButton(dialog, IDOK);
            return true;
        });
    EXPECT_EQ(Run(4, script), IDOK);
    EXPECT_EQ(ReadFileBytes(m_table.At(4).link), "hangul");
}
}  // namespace
