// The interface's language: how it is chosen, its texts, menus and dialogs found per language,
// and every dialog text fitting its control (this file runs once more at 144 DPI).
#include <gtest/gtest.h>

#include <cwchar>
#include <cwctype>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/FileText.h"
#include "common/ScopedUiLanguage.h"
#include "common/ScratchDirectory.h"
#include "res/resource.h"
#include "res/texts.h"
#include "win/CodePage932.h"
#include "win/TextFormat.h"
#include "win/UiLanguage.h"

namespace {
constexpr LANGID kJapaneseDisplay = 0x0411;
constexpr LANGID kEnglishDisplay = 0x0409;
constexpr LANGID kGermanDisplay = 0x0407;
constexpr UiLanguage kLanguages[] = {UiLanguage::Japanese, UiLanguage::English};
const char* NameOf(UiLanguage language) { return language == UiLanguage::English ? "English" : "Japanese"; }

TEST(UiLanguage, ChosenByTheSettingElseByTheDisplayLanguage) {
    const struct {
        const wchar_t* setting;
        LANGID display;
        UiLanguage expected;
    } cases[] = {
        {L"", kJapaneseDisplay, UiLanguage::Japanese},
        {L"", kEnglishDisplay, UiLanguage::English},
        {L"", kGermanDisplay, UiLanguage::English},
        {L"", MAKELANGID(LANG_JAPANESE, SUBLANG_NEUTRAL), UiLanguage::Japanese},
        {L"ja", kEnglishDisplay, UiLanguage::Japanese},
        {L"en", kJapaneseDisplay, UiLanguage::English},
        {L"EN", kJapaneseDisplay, UiLanguage::English},
        {L"Ja", kGermanDisplay, UiLanguage::Japanese},
        {L"fr", kJapaneseDisplay, UiLanguage::Japanese},
        {L"fr", kEnglishDisplay, UiLanguage::English},
        {L"english", kJapaneseDisplay, UiLanguage::Japanese},
        {L"en ", kJapaneseDisplay, UiLanguage::Japanese},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseUiLanguage(c.setting, c.display), c.expected)
            << Cp932FromWide(c.setting).text << " on " << Hex(c.display, 4);
}

TEST(UiLanguage, SettingReadFromTheVorlundSectionAndTheFileLeftAlone) {
    ScratchDirectory dir("language");
    const std::string ini = "[KeySet1]\r\nLanguage=ja\r\nCaption=メモ\r\n[Vorlund]\r\nLanguage = en\r\n";
    ASSERT_TRUE(WriteFileBytes(dir.File("Vorlund.ini"), ini));
    EXPECT_EQ(ReadUiLanguageSetting(WideFromCp932(dir.File("Vorlund.ini"))), L"en");
    EXPECT_EQ(ReadFileBytes(dir.File("Vorlund.ini")), ini);
    EXPECT_EQ(ReadUiLanguageSetting(WideFromCp932(dir.File("absent.ini"))), L"");
}

TEST(UiLanguage, TextsMenusAndDialogsOfTheChosenLanguage) {
    EXPECT_EQ(LoadUiString(IDS_ALREADY_RUNNING, UiLanguage::Japanese),
              L"お気に入り設定アプリケーションはすでに実行しています。");
    EXPECT_EQ(LoadUiString(IDS_ALREADY_RUNNING, UiLanguage::English), L"Vorlund Favorite Keys is already running.");
    // The last string of a block and the first of the next.
    EXPECT_EQ(LoadUiString(IDS_KEY_NAME_APP2, UiLanguage::English), L"Calculator");
    EXPECT_EQ(LoadUiString(IDS_LIST_LINK_HEADING, UiLanguage::English), L"Link");
    EXPECT_EQ(LoadUiString(IDS_LIST_LINK_HEADING, UiLanguage::Japanese), L"リンク先");
    EXPECT_EQ(LoadUiString(IDS_KEY_DESCRIPTION_SEPARATOR + 1, UiLanguage::English), L"") << "no such string";
    constexpr UINT kTextEnglishLacks = 65505;  // TextFallback.rc: its block has English texts
    EXPECT_EQ(LoadUiString(kTextEnglishLacks, UiLanguage::English), L"Japanese only");
    EXPECT_EQ(std::string(UiText(IDS_TRAY_TIP)), "お気に入り設定");
    const char* japanese = UiText(IDS_TRAY_TIP);
    EXPECT_EQ(UiText(IDS_TRAY_TIP), japanese) << "kept for the run";

    ScopedUiLanguage english(UiLanguage::English);
    EXPECT_EQ(std::string(UiText(IDS_TRAY_TIP)), "Favorite Keys");
    EXPECT_EQ(std::string(japanese), "お気に入り設定");
    HMENU menu = LoadUiMenu(IDR_MAINFRAME);
    ASSERT_NE(menu, nullptr);
    wchar_t item[64] = {};
    ::GetMenuStringW(menu, 0, item, 64, MF_BYPOSITION);
    EXPECT_STREQ(item, L"&File");
    ::GetMenuStringW(menu, IDM_START_AT_SIGNIN, item, 64, MF_BYCOMMAND);
    EXPECT_STREQ(item, L"Start at sign-&in");
    ::DestroyMenu(menu);
    // A dialog template: style, then the counts and place, then menu and class (none here), then the caption.
    const auto* dialog = reinterpret_cast<const WORD*>(FindUiDialog(IDD_LINK));
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog[1], 0xFFFF) << "an extended template";
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(dialog + 15), L"Key Link");
}

BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
    reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every text has both languages, and the English ones are plain ASCII: no Japanese character
// in the English interface, and no English text empty for want of its line.
TEST(UiLanguage, EveryTextInBothLanguagesAndEnglishInAscii) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    std::vector<UINT> blocks;
    ::EnumResourceNamesW(module, MAKEINTRESOURCEW(6), AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
    int texts = 0;
    for (const UINT block : blocks)
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            const std::wstring japanese = LoadUiString(id, UiLanguage::Japanese);
            const std::wstring english = LoadUiString(id, UiLanguage::English);
            EXPECT_EQ(japanese.empty(), english.empty()) << "string " << id;
            for (const wchar_t unit : english) EXPECT_LT(unit, 0x80) << "string " << id;
            texts += !english.empty();
        }
    EXPECT_GE(texts, IDS_BROWSE_FILTER - IDS_APP_NAME + 1);
    for (const UINT dialog : {IDD_ABOUTBOX, IDD_SETTINGS, IDD_LINK, IDD_CAPTION, IDD_KEYSET_LIST, IDD_MORE_LINK})
        for (const UiLanguage language : kLanguages)
            EXPECT_NE(::FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(dialog), LangIdOf(language)),
                      nullptr) << dialog << " " << NameOf(language);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// How wide and high the text is in the control's own font, within the width (lines broken
// there when the control has room for more than one).
SIZE TextSize(HWND control, const std::wstring& text, UINT format, int width) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return {rect.right, rect.bottom};
}

// Whether the text fits the control as the control draws it: a push button keeps its edge on
// either side, a check box its box and the gap after it, an edit its margins.
void ExpectFits(HWND control, const std::wstring& text, const std::string& what) {
    RECT client{};
    ::GetClientRect(control, &client);
    wchar_t className[32] = {};
    ::GetClassNameW(control, className, 32);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    int room = client.right;
    UINT format = DT_SINGLELINE;
    if (::lstrcmpiW(className, L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        room -= type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4
                                                               : 2 * ::GetSystemMetrics(SM_CXEDGE);
    } else if (::lstrcmpiW(className, L"Edit") == 0) {
        const LRESULT margins = ::SendMessageW(control, EM_GETMARGINS, 0, 0);
        room -= LOWORD(margins) + HIWORD(margins);
    } else {
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        const SIZE line = TextSize(control, L"X", format, room);
        if (client.bottom >= 2 * line.cy) format = DT_WORDBREAK | (format & DT_NOPREFIX);
    }
    const SIZE size = TextSize(control, text, format, room);
    EXPECT_LE(size.cx, room) << what;
    EXPECT_LE(size.cy, client.bottom) << what;
}

// Each dialog made from its template in each language, and every text in it measured against
// its control: the template's own, and the longest the program puts there while it runs.
TEST(UiLanguage, EveryDialogTextFitsItsControl) {
    ::SetProcessDPIAware();
    char logPixels[8] = {};
    if (::GetEnvironmentVariableA("VORLUND_LOGPIXELS", logPixels, sizeof logPixels) > 0) {
        HDC screen = ::GetDC(nullptr);
        ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSX), std::atoi(logPixels)) << "the prefix's display scale";
        ::ReleaseDC(nullptr, screen);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    for (const UiLanguage language : kLanguages) {
        ScopedUiLanguage chosen(language);
        const std::wstring conflicts =
            LoadUiString(IDS_CONFLICT_HOTKEY_TAKEN) + L"\r\n" +
            FillInWide(UiText(IDS_CONFLICT_TYPES_CHARACTER), {L"German (Germany)", L"@"});
        const struct {
            UINT dialog;
            int control;
            std::wstring text;
        } shown[] = {
            {IDD_LINK, IDC_KEY_NOTE, LoadUiString(IDS_COMBO_NEEDS_TWO_MODIFIERS)},
            {IDD_LINK, IDC_KEY_NOTE, conflicts},
            {IDD_LINK, IDC_KEY_COMBO, LoadUiString(IDS_COMBO_PRESS_NOW)},
            {IDD_LINK, IDC_KEY_COMBO, L"Ctrl + Alt + A" + LoadUiString(IDS_COMBO_DEFAULT_NOTE)},
            {IDD_LINK, IDC_KEY_COMBO, L"Ctrl + Shift + Win + " + LoadUiString(IDS_KEY_NAME_BROWSER_FAVORITES)},
            {IDD_SETTINGS, IDC_GLANCE_NOTE, LoadUiString(IDS_COMBO_PRESS_NOW)},
            {IDD_SETTINGS, IDC_GLANCE_COMBO, L"Ctrl + Alt + Shift + K"},
            {IDD_SETTINGS, IDC_GLANCE_NOTE, LoadUiString(IDS_COMBO_NEEDS_TWO_MODIFIERS)},
            {IDD_SETTINGS, IDC_GLANCE_NOTE, conflicts},
            {IDD_LINK, IDC_LINK_SHOW, LoadUiString(IDS_SHOW_MAXIMIZED)},
            {IDD_LINK, IDC_LINK_SHOW, LoadUiString(IDS_SHOW_MINIMIZED)},
        };
        for (const UINT id : {IDD_ABOUTBOX, IDD_SETTINGS, IDD_LINK, IDD_CAPTION, IDD_KEYSET_LIST, IDD_MORE_LINK}) {
            const std::string what = std::string(NameOf(language)) + " dialog " + std::to_string(id);
            HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), FindUiDialog(id), nullptr,
                                                       QuietDialogProc, 0);
            ASSERT_NE(dialog, nullptr) << what;
            int measured = 0;
            std::wstring accessKeys;
            for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                wchar_t className[32] = {};
                ::GetClassNameW(child, className, 32);
                wchar_t text[256] = {};
                ::GetWindowTextW(child, text, 256);
                // Each access key once per dialog.
                if (const wchar_t* amp = std::wcschr(text, L'&'); amp && amp[1] && amp[1] != L'&') {
                    const wchar_t key = static_cast<wchar_t>(std::towupper(amp[1]));
                    EXPECT_EQ(accessKeys.find(key), std::wstring::npos) << what << " " << Cp932FromWide(text).text;
                    accessKeys += key;
                }
                if (::lstrcmpiW(className, L"SysListView32") == 0 || !*text) continue;
                ExpectFits(child, text, what + " \"" + Cp932FromWide(text).text + "\"");
                ++measured;
            }
            for (const auto& s : shown)
                if (s.dialog == id) {
                    ExpectFits(::GetDlgItem(dialog, s.control), s.text, what + " " + Cp932FromWide(s.text).text);
                    ++measured;
                }
            EXPECT_GT(measured, 0) << what;
            ::DestroyWindow(dialog);
        }
    }
}
}  // namespace
