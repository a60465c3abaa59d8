// Vorlund with a screen reader and with the keyboard alone, from outside: the names the
// system's accessibility proxy gives the controls, real keys in the settings dialog, and the
// notification area's keyboard messages.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <functional>
#include <optional>

#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/KeyControlIds.h"
#include "res/resource.h"
#include "shell/TrayIconWnd.h"
#include "win/ComApartment.h"

namespace {
constexpr unsigned kSettle = 600;
// Defined here: MinGW's import library binds IID_IAccessible to a thunk that matches nothing.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name the system's proxy gives the window, as a screen reader asks for it.
std::string AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                            reinterpret_cast<void**>(&object))) ||
        !object)
        return "(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(self, &name);
    std::string text = SUCCEEDED(result) && name ? Cp932OfWide(name) : std::string();
    ::SysFreeString(name);
    object->Release();
    return text;
}

// The window with the keyboard focus in the dialog's thread.
HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(m_install.Ini(),
                                   "[KeySet1]\r\nLink=" + m_install.Probe() + "\r\nCaption=probe\r\n"
                                   "[KeySet2]\r\nLink=http://example.com/\r\n"
                                   "[KeySet3]\r\nLink=mailto:someone@example.com\r\nCaption=メール\r\n"));
        m_frame = m_program.WaitForFrame();
        ASSERT_NE(m_frame, nullptr);
        m_settings = m_program.OpenSettings();
        ASSERT_NE(m_settings, nullptr);
    }
    void Press(const std::string& keys) {
        ASSERT_EQ(RunLinuxCommand("xdotool key " + keys, m_install.Dir()), 0);
        ::Sleep(kSettle);
    }
    HWND Key(int index) const { return ::GetDlgItem(m_settings, KeyButtonId(index)); }
    // Presses the keys; the dialog that opens, closed again with Esc (the real key).
    std::string TitleOfDialogOpenedBy(const std::string& keys) {
        Press(keys);
        std::vector<HWND> opened;
        if (!WaitUntil([&] { return !(opened = VisibleDialogsOf(m_program.Pid(), m_settings)).empty(); }, 5000))
            return "(none)";
        const std::string title = WindowText(opened.front());
        Press("Escape");
        WaitUntil([&] { return !::IsWindow(opened.front()); }, 5000);
        return title;
    }

    ComApartment m_com;
    Installation m_install{"keyboard", HookChoice::Recording};
    ProgramUnderTest m_program{m_install.Program(), m_install.Dir()};
    HWND m_frame = nullptr;
    HWND m_settings = nullptr;
};

TEST_F(Keyboard, ScreenReaderNamesEveryKeyAndEveryControlThatTakesTheFocus) {
    for (int index = 0; index < 30; ++index) {
        const std::string number = std::to_string(index + 1);
        const std::string expected = index == 0   ? "キー 1: probe"
                                     : index == 1 ? "キー 2: 設定済み"
                                     : index == 2 ? "キー 3: メール"
                                                  : "キー " + number + ": 未設定";
        EXPECT_EQ(AccessibleName(Key(index)), expected);
    }
    EXPECT_EQ(AccessibleName(::GetDlgItem(m_settings, IDC_LIST_BUTTON)), "一覧表示");
    EXPECT_EQ(AccessibleName(::GetDlgItem(m_settings, IDOK)), "設　定");
    EXPECT_EQ(AccessibleName(::GetDlgItem(m_settings, IDCANCEL)), "中　止");

    ::PostMessageA(Key(0), BM_CLICK, 0, 0);
    HWND link = m_program.WaitForDialogTitled("リンク情報設定");
    ASSERT_NE(link, nullptr);
    for (HWND control : ChildWindowsOf(link)) {
        const LONG style = ::GetWindowLongA(control, GWL_STYLE);
        if (!(style & WS_TABSTOP) || !(style & WS_VISIBLE)) continue;
        if (ClassNameOf(control) == "Button") {
            EXPECT_FALSE(AccessibleName(control).empty()) << ::GetDlgCtrlID(control);
            continue;
        }
        // A field is named after the label just before it in the window order (Windows'
        // proxy; Wine's names no field at all).
        HWND label = ::GetWindow(control, GW_HWNDPREV);
        EXPECT_EQ(ClassNameOf(label), "Static") << ::GetDlgCtrlID(control);
        EXPECT_FALSE(WindowText(label).empty()) << ::GetDlgCtrlID(control);
    }
    EXPECT_EQ(WindowText(::GetWindow(::GetDlgItem(link, IDC_LINK_EDIT), GW_HWNDPREV)),
              "設定するＵＲＬまたはショートカットを指定してください。");
    ::PostMessageA(::GetDlgItem(link, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));
}

TEST_F(Keyboard, ArrowsWalkTheGridTabComesBackAndSpaceEnterAndShiftF10OpenTheKeysDialogs) {
    ASSERT_EQ(FocusOf(m_settings), Key(0)) << "the grid comes first";
    const struct {
        const char* key;
        int index;
    } walk[] = {{"Right", 1}, {"Down", 7}, {"Home", 6}, {"End", 11}, {"Up", 5}, {"Left", 4}};
    for (const auto& step : walk) {
        Press(step.key);
        EXPECT_EQ(FocusOf(m_settings), Key(step.index)) << step.key;
    }
    // The focus rectangle shows from the first key on.
    EXPECT_EQ(::SendMessageW(Key(4), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
    SaveScreenshotIfAsked("settings-dialog-focus");

    // Tab leaves the grid for the keys-at-a-glance row and the buttons beneath it and comes
    // back to the same key, the grid's only tab stop.
    for (const int id : {IDC_GLANCE_COMBO, IDC_GLANCE_SET, IDC_GLANCE_CLEAR, IDC_LIST_BUTTON, IDOK, IDCANCEL}) {
        Press("Tab");
        EXPECT_EQ(FocusOf(m_settings), ::GetDlgItem(m_settings, id)) << id;
    }
    EXPECT_EQ(AccessibleName(::GetDlgItem(m_settings, IDC_GLANCE_COMBO)), "キーの早見表:") << "named by its label";
    Press("Tab");
    EXPECT_EQ(FocusOf(m_settings), Key(4));
    for (int index = 0; index < 30; ++index)
        EXPECT_EQ((::GetWindowLongA(Key(index), GWL_STYLE) & WS_TABSTOP) != 0, index == 4) << index;

    EXPECT_EQ(TitleOfDialogOpenedBy("space"), "リンク情報設定");
    EXPECT_EQ(TitleOfDialogOpenedBy("Return"), "リンク情報設定");
    EXPECT_EQ(TitleOfDialogOpenedBy("Menu"), "登録内容表示");
    EXPECT_EQ(FocusOf(m_settings), Key(4));

    // Shift+F10: the caption, typed and confirmed, is the key's new name at once.
    Press("shift+F10");
    HWND caption = m_program.WaitForDialogTitled("登録内容表示", 5000);
    ASSERT_NE(caption, nullptr);
    Press("t o o l s Return");
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(caption); }, 5000));
    EXPECT_EQ(WindowText(::GetDlgItem(m_settings, KeyLabelId(4))), "tools");
    EXPECT_EQ(AccessibleName(Key(4)), "キー 5: tools");
    ::PostMessageA(::GetDlgItem(m_settings, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(m_settings); }, 5000));
}
// The system's colours replaced by a high-contrast theme's for the life of the object, and
// put back however the test ends (Wine keeps them for the whole prefix).
class HighContrastColours {
public:
    // Visual styles off too, as Windows turns them off for a high-contrast theme; read by the
    // programs started afterwards.
    HighContrastColours() {
        for (int index = 0; index < kCount; ++index) m_saved[index] = ::GetSysColor(kElements[index]);
        ::SetSysColors(kCount, kElements, kContrast);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kThemeKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &m_theme, nullptr);
        DWORD size = sizeof m_themeActive;
        m_hadThemeActive = ::RegQueryValueExW(m_theme, L"ThemeActive", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(m_themeActive), &size) == ERROR_SUCCESS;
        ::RegSetValueExW(m_theme, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"0"), 2 * sizeof(wchar_t));
    }
    ~HighContrastColours() {
        ::SetSysColors(kCount, kElements, m_saved);
        if (m_hadThemeActive)
            ::RegSetValueExW(m_theme, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_themeActive),
                             static_cast<DWORD>((::lstrlenW(m_themeActive) + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(m_theme, L"ThemeActive");
        ::RegCloseKey(m_theme);
    }
    HighContrastColours(const HighContrastColours&) = delete;
    HighContrastColours& operator=(const HighContrastColours&) = delete;

    static constexpr COLORREF kFace = RGB(0, 0, 0);
    static constexpr COLORREF kText = RGB(255, 255, 0);

private:
    static constexpr int kCount = 8;
    static constexpr int kElements[kCount] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_WINDOWTEXT,
                                              COLOR_3DLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW};
    static constexpr COLORREF kContrast[kCount] = {kFace, kText, kFace, kText, RGB(255, 255, 255),
                                                   RGB(255, 255, 255), RGB(0, 255, 255), RGB(0, 255, 255)};
    static constexpr const wchar_t* kThemeKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    COLORREF m_saved[kCount] = {};
    HKEY m_theme = nullptr;
    wchar_t m_themeActive[16] = {};
    bool m_hadThemeActive = false;
};

// Nothing in the settings dialog is drawn in a colour of its own: in a high-contrast theme its
// face is the theme's, and the caption labels and buttons' texts are in the theme's text colour.
TEST(HighContrast, TheSettingsDialogDrawsInTheSystemsColoursOnly) {
    Installation install("contrast", HookChoice::None);
    // Keys 1 and 2 on the same combination: both carry the warning sign.
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() +
                                                  "\r\nCaption=probe\r\nkeycode=196674\r\n"
                                                  "[KeySet2]\r\nLink=http://example.com/\r\nCaption=web\r\n"));
    const HighContrastColours colours;
    ProgramUnderTest program(install.Program(), install.Dir());
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND settings = program.OpenSettings();
    ASSERT_NE(settings, nullptr);
    ::Sleep(1500);  // the icons and the repaint
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(settings, KeyLabelId(0)), &rect);
    const ScreenCapture label(rect);
    EXPECT_GT(label.CountNear(HighContrastColours::kText, 40), 5) << "the caption in the theme's text colour";
    EXPECT_GT(label.CountNear(HighContrastColours::kFace, 40), label.Width() * label.Height() / 2);
    ::GetClientRect(settings, &rect);
    ::MapWindowPoints(settings, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const ScreenCapture dialog(rect);
    EXPECT_GT(dialog.CountNear(HighContrastColours::kFace, 40), dialog.Width() * dialog.Height() / 2);
    SaveScreenshotIfAsked("settings-dialog-high-contrast");
    ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));

    // The keys at a glance likewise: the theme's face, every text in its text colour.
    ::PostMessageA(program.WaitForFrame(), WM_COMMAND, IDM_SHOW_KEYS, 0);
    HWND glance = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (glance = FindVisibleWindowTitled(program.Pid(), "キーの早見表")) != nullptr; },
                          5000));
    ::Sleep(1000);
    ::GetWindowRect(glance, &rect);
    const ScreenCapture overlay(rect);
    EXPECT_GT(overlay.CountNear(HighContrastColours::kFace, 40), overlay.Width() * overlay.Height() / 2);
    EXPECT_GT(overlay.CountNear(HighContrastColours::kText, 40), 500) << "numbers, captions and combinations";
    SaveScreenshotIfAsked("glance-overlay-high-contrast");
    ::PostMessageA(glance, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(glance); }, 5000));
}
}  // namespace
