// The settings dialog in-process: labels, drops on key buttons, tooltips; and the choice of
// key button icons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <memory>

#include "app/LinkKeysApp.h"
#include "common/DropHandle.h"
#include "common/FileText.h"
#include "common/FilterRecorder.h"
#include "common/ModalScript.h"
#include "common/ScopedUiLanguage.h"
#include "settings/KeyButtonIcons.h"
#include "settings/SettingsDialog.h"
#include "win/UrlService.h"
#include "res/KeyControlIds.h"

namespace {
DWORD ServiceOf(const std::string& text, bool* parsed = nullptr) {
    DWORD service = 0;
    const bool ok = ParseUrlServiceType(text.c_str(), service);
    if (parsed) *parsed = ok;
    return service;
}

TEST(UrlService, EverySchemeOfTheTable) {
    EXPECT_EQ(ServiceOf("http://example.com/"), kUrlServiceHttp);
    EXPECT_EQ(ServiceOf("https://example.com/x?y=1"), kUrlServiceHttps);
    EXPECT_EQ(ServiceOf("ftp://ftp.example.com/pub"), kUrlServiceFtp);
    EXPECT_EQ(ServiceOf("mailto:someone@example.com"), kUrlServiceMailto);
    EXPECT_EQ(ServiceOf("file:///C:/Tools/a.txt"), kUrlServiceFile);
    EXPECT_EQ(ServiceOf("news:comp.lang.c"), kUrlServiceNews);
    EXPECT_EQ(ServiceOf("gopher://gopher.example.com/"), kUrlServiceGopher);
    EXPECT_EQ(ServiceOf("telnet://host.example.com/"), kUrlServiceUnknown);
    EXPECT_EQ(ServiceOf("vorlund-x://anything"), kUrlServiceUnknown);
    // A plain path is a file address to the Internet library: never a web address.
    EXPECT_EQ(ServiceOf("C:\\Tools\\a.txt"), kUrlServiceFile);
    EXPECT_FALSE(ParseUrlServiceType("not an address", *std::make_unique<DWORD>()));
    EXPECT_FALSE(ParseUrlServiceType(nullptr, *std::make_unique<DWORD>()));
}

TEST(KeyButtonIcons, WebAndFtpShowTheBrowserIconMailtoAndLongLinksAsTheirFirst260) {
    HICON browser = ::LoadIconA(nullptr, IDI_APPLICATION);
    KeyButtonIcons icons(browser);
    HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_POPUP | BS_ICON, 0, 0, 30, 30, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    const auto image = [&] { return reinterpret_cast<HICON>(::SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)); };
    icons.SetKeyIcon(button, "mailto:someone@example.com");
    EXPECT_NE(image(), browser) << "the shell's icon, if any";
    // The classification sees the first 260 characters: a long web address is still one.
    for (const std::string& web : std::vector<std::string>{"http://example.com/", "https://example.com/",
                                                           "ftp://example.com/", "http://example.com/" + std::string(300, 'a')}) {
        icons.SetKeyIcon(button, "");
        icons.SetKeyIcon(button, web.c_str());
        EXPECT_EQ(image(), browser) << web;
    }

    // No browser: web links leave the button as it was.
    KeyButtonIcons noBrowser(nullptr);
    noBrowser.SetKeyIcon(button, nullptr);
    EXPECT_EQ(image(), noBrowser.BlankIcon()) << "never no image: the button would draw its text";
    EXPECT_NE(noBrowser.BlankIcon(), nullptr);
    icons.SetKeyIcon(button, "http://example.com/");
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)), browser);
    noBrowser.SetKeyIcon(button, "http://example.com/other");
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)), browser);
    icons.SetKeyIcon(button, "");
    EXPECT_EQ(image(), icons.BlankIcon());
    ::DestroyWindow(button);
}

// In the dialog the shell's icons are read by a worker: each link is read once, a button gets
// the icon when the reply runs, and a button given another link meanwhile keeps that one.
TEST(KeyButtonIcons, ReadInBackgroundOncePerLinkAndOnlyForTheLinkStillAsked) {
    KeyButtonIcons icons(nullptr);
    HWND buttons[3] = {};
    for (HWND& button : buttons)
        button = ::CreateWindowExA(0, "BUTTON", "", WS_POPUP | BS_ICON, 0, 0, 30, 30, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    constexpr UINT kReply = WM_APP + 7;
    icons.ReadInBackground(buttons[0], kReply);
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    icons.SetKeyIcon(buttons[0], program);
    icons.SetKeyIcon(buttons[1], program, true);
    icons.SetKeyIcon(buttons[2], program);
    icons.SetKeyIcon(buttons[2], "");  // no link now: the late icon is not for it
    const auto image = [&](HWND button) {
        const auto shown = reinterpret_cast<HICON>(::SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0));
        return shown == icons.BlankIcon() ? nullptr : shown;
    };
    EXPECT_EQ(image(buttons[0]), nullptr) << "nothing read on the dialog's thread";

    int replies = 0;
    const auto run = [&] {
        ++replies;
        icons.RunReplies();
    };
    PumpRepliesUntil([&] { return image(buttons[0]) != nullptr; }, kReply, run, 5000);
    PumpRepliesUntil([] { return false; }, kReply, run, 200);
    EXPECT_EQ(replies, 1) << "one read for the link";
    EXPECT_NE(image(buttons[0]), nullptr);
    EXPECT_NE(image(buttons[1]), nullptr);
    EXPECT_NE(image(buttons[1]), image(buttons[0])) << "the marked key shows its own copy with the sign";
    EXPECT_EQ(image(buttons[2]), nullptr);
    for (HWND button : buttons) ::DestroyWindow(button);
}

BOOL CALLBACK CollectToolTip(HWND hwnd, LPARAM param) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(param) = hwnd;
    return TRUE;
}

class SettingsDialogInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 30; ++n) m_app.GetKeySetTable().Append(KeySet{n});
        m_app.GetKeySetTable().At(1).ReplaceLink("http://example.com/?a=1&b=2");
    }
    // Runs the dialog while the script drives it; the script's last step closes it.
    void Run(ModalScript& script, ConflictProbes probes = ConflictProbes::System()) {
        SettingsDialog dialog(::GetDesktopWindow());
        dialog.SetMessageFilterProc(&FilterRecorder::Allow);
        dialog.SetConflictProbes(std::move(probes));
        script.Start();
        dialog.DoModal();
        script.Stop();
        EXPECT_TRUE(script.Finished());
    }
    HWND Settings() { return FindThreadWindow("お気に入り設定"); }
    static bool Close(HWND dialog) {
        ClickButton(dialog, IDCANCEL);
        return true;
    }
    LinkKeysApp m_app;
};

TEST_F(SettingsDialogInProcess, DropOfOneFileAsksAndStoresOnOkOnly) {
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Settings()) != nullptr; })
        .Then([&] {
            EXPECT_EQ(ControlText(dialog, KeyLabelId(4)), " 5");
            ::PostMessageA(::GetDlgItem(dialog, KeyButtonId(4)), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\Docs\\a.txt"})), 0);
            return true;
        })
        .Then([&] {
            HWND box = FindThreadWindow("リンク情報設定", "#32770");
            if (!box) return false;
            char text[512] = {};
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            EXPECT_STREQ(text, "5のキーにC:\\Docs\\a.txtを設定しますか？");
            ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return true;
        })
        .Then([&] {
            if (FindThreadWindow("リンク情報設定", "#32770")) return false;
            EXPECT_FALSE(m_app.GetKeySetTable().At(4).HasLink()) << "cancelled";
            ::PostMessageA(::GetDlgItem(dialog, KeyButtonId(4)), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\Docs\\a.txt"})), 0);
            return true;
        })
        .Then([&] {
            HWND box = FindThreadWindow("リンク情報設定", "#32770");
            if (!box) return false;
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        })
        .Then([&] {
            if (FindThreadWindow("リンク情報設定", "#32770")) return false;
            EXPECT_EQ(m_app.GetKeySetTable().At(4).link, "C:\\Docs\\a.txt");
            // Two files at once: nothing asked, nothing changed.
            ::PostMessageA(::GetDlgItem(dialog, KeyButtonId(6)), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.txt", "C:\\b.txt"})), 0);
            return true;
        })
        .Then([&] {
            ::Sleep(200);
            EXPECT_EQ(FindThreadWindow("リンク情報設定", "#32770"), nullptr);
            EXPECT_FALSE(m_app.GetKeySetTable().At(6).HasLink());
            return Close(dialog);
        });
    Run(script);
}

// In English the dialog and the question are English; the dropped path is shown as it is.
TEST_F(SettingsDialogInProcess, DropQuestionInEnglish) {
    ScopedUiLanguage english(UiLanguage::English);
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = FindThreadWindow("Favorite Keys")) != nullptr; })
        .Then([&] {
            ::PostMessageA(::GetDlgItem(dialog, KeyButtonId(4)), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({"C:\\資料\\a.txt"})), 0);
            return true;
        })
        .Then([&] {
            HWND box = FindThreadWindow("Key Link", "#32770");
            if (!box) return false;
            wchar_t text[512] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 512);
            EXPECT_STREQ(text, L"Set key 5 to C:\\資料\\a.txt?");
            ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return true;
        })
        .Then([&] { return !FindThreadWindow("Key Link", "#32770") && Close(dialog); });
    Run(script);
}

// Explorer runs unelevated: each key button admits its drops. A path longer than MAX_PATH
// bytes (130 double-byte characters) is asked for and stored whole.
TEST_F(SettingsDialogInProcess, KeyButtonsAdmitDropsAndTakeLongPathsWhole) {
    std::string longPath = "C:\\";
    for (int i = 0; i < 130; ++i) longPath += "表";
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Settings()) != nullptr; })
        .Then([&] {
            for (int index = 0; index < 30; ++index)
                EXPECT_TRUE(FilterRecorder::AdmitsDrops(::GetDlgItem(dialog, KeyButtonId(index)))) << index;
            ::PostMessageA(::GetDlgItem(dialog, KeyButtonId(4)), WM_DROPFILES,
                           reinterpret_cast<WPARAM>(MakeDrop({longPath})), 0);
            return true;
        })
        .Then([&] {
            HWND box = FindThreadWindow("リンク情報設定", "#32770");
            if (!box) return false;
            EXPECT_EQ(ControlText(box, 0xFFFF), "5のキーに" + longPath + "を設定しますか？");
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        })
        .Then([&] {
            if (FindThreadWindow("リンク情報設定", "#32770")) return false;
            EXPECT_EQ(m_app.GetKeySetTable().At(4).link, longPath);
            return Close(dialog);
        });
    Run(script);
}

// The tip comes from what the dialog learnt when it opened: the system is asked about each
// combination once then, never again per mouse move.
TEST_F(SettingsDialogInProcess, TooltipShowsTheLinkWithItsAmpersand) {
    HWND dialog = nullptr;
    int probed = 0;
    ConflictProbes counting;
    counting.hotkeyTaken = [&probed](KeyCode) { return ++probed, false; };
    ModalScript script;
    script.Then([&] { return (dialog = Settings()) != nullptr; })
        .Then([&] {
            EXPECT_EQ(probed, 30);
            HWND button = ::GetDlgItem(dialog, KeyButtonId(1));
            for (int x = 5; x < 15; ++x) ::PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5));
            return true;
        })
        .Then([&] {
            HWND tip = nullptr;
            ::EnumThreadWindows(::GetCurrentThreadId(), &CollectToolTip, reinterpret_cast<LPARAM>(&tip));
            EXPECT_NE(tip, nullptr);
            if (!tip) return Close(dialog);
            EXPECT_TRUE(::GetWindowLongA(tip, GWL_STYLE) & TTS_NOPREFIX);
            char text[256] = {};
            TOOLINFOA info{};
            info.cbSize = TTTOOLINFOA_V1_SIZE;
            info.uFlags = TTF_IDISHWND;
            info.hwnd = dialog;
            info.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(dialog, KeyButtonId(1)));
            info.lpszText = text;
            ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
            EXPECT_STREQ(text, "http://example.com/?a=1&b=2\r\nキー: Ctrl + Alt + B");
            EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 30);
            EXPECT_EQ(probed, 30) << "no probe per mouse move";
            return Close(dialog);
        });
    Run(script, counting);
}

TEST_F(SettingsDialogInProcess, CommandForAKeyPastTheTableChangesNothing) {
    HWND dialog = nullptr;
    ModalScript script;
    script.Then([&] { return (dialog = Settings()) != nullptr; })
        .Then([&] {
            ::PostMessageA(dialog, WM_COMMAND, kFirstKeyCommand + 40, 0);  // names no key
            return true;
        })
        .Then([&] {
            HWND link = FindThreadWindow("リンク情報設定");
            if (!link) return false;
            EXPECT_EQ(ControlText(link, IDC_LINK_EDIT), "");
            ::SetDlgItemTextA(link, IDC_LINK_EDIT, "C:\\nowhere.txt");
            ClickButton(link, IDOK);
            return true;
        })
        .Then([&] {
            if (FindThreadWindow("リンク情報設定")) return false;
            EXPECT_TRUE(::IsWindow(dialog)) << "the dialog goes on";
            return Close(dialog);
        });
    Run(script);
    for (const KeySet& record : m_app.GetKeySetTable())
        EXPECT_NE(record.link, "C:\\nowhere.txt");
}
// The keys-at-a-glance combination, chosen in its row as a key's is in the link dialog: a
// chord that cannot be one is refused with the hint, a chord is taken with its conflicts.
TEST_F(SettingsDialogInProcess, GlanceKeyIsChosenByPressingItAndWarnedOfLikeAKeys) {
    HWND dialog = nullptr;
    const auto press = [&](std::initializer_list<int> held, WPARAM key) {
        BYTE state[256] = {};
        for (const int modifier : held) state[modifier] = 0x80;
        ::SetKeyboardState(state);
        ::PostMessageW(::GetDlgItem(dialog, IDC_GLANCE_SET), WM_KEYDOWN, key, 0);
    };
    ModalScript script;
    script.Then([&] { return (dialog = Settings()) != nullptr; })
        .Then([&] {
            EXPECT_EQ(ControlText(dialog, IDC_GLANCE_COMBO), "なし");
            ClickButton(dialog, IDC_GLANCE_SET);
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_GLANCE_NOTE).empty()) return false;
            EXPECT_EQ(ControlText(dialog, IDC_GLANCE_NOTE), "組み合わせを押してください（Esc で中止）");
            press({}, 'A');
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_GLANCE_NOTE).rfind("Ctrl、Alt", 0) != 0) return false;
            press({VK_CONTROL, VK_MENU}, 'A');
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_GLANCE_COMBO) != "Ctrl + Alt + A") return false;
            EXPECT_EQ(m_app.GetKeySetTable().GlanceKeyCode(), (3 << 16) | 'A');
            EXPECT_EQ(ControlText(dialog, IDC_GLANCE_NOTE), "キー1と同じ組み合わせです。番号の小さいキーだけが開きます。");
            ClickButton(dialog, IDC_GLANCE_CLEAR);
            return true;
        })
        .Then([&] {
            if (ControlText(dialog, IDC_GLANCE_COMBO) != "なし") return false;
            EXPECT_EQ(m_app.GetKeySetTable().GlanceKeyCode(), 0);
            EXPECT_EQ(ControlText(dialog, IDC_GLANCE_NOTE), "");
            BYTE released[256] = {};
            ::SetKeyboardState(released);
            return Close(dialog);
        });
    Run(script, ConflictProbes{});
}
}  // namespace
