// A key's combination: its stored form, its words, which chords may be chosen, its
// conflicts, and choosing it in the link dialog by pressing it.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ChordTracker.h"
#include "DedicatedKeys.h"
#include "HookMessage.h"
#include "common/ModalScript.h"
#include "keys/KeyCombination.h"
#include "settings/KeyConflicts.h"
#include "settings/LinkDialog.h"
#include "res/resource.h"

namespace {
constexpr WORD kCtrl = kHookModControl, kAlt = kHookModAlt, kShift = kHookModShift, kWin = kHookModWin;

TEST(KeyCombination, StoredFormRoundTripsForEveryModifierSetAndKey) {
    for (WORD modifiers = 0; modifiers <= 15; ++modifiers)
        for (WORD key : {WORD{'A'}, WORD{'1'}, WORD{VK_OEM_2}, WORD{VK_OEM_102}, WORD{VK_F5}}) {
            const KeyCode code{modifiers, key};
            EXPECT_EQ(KeyCodeFromValue(KeyCodeValue(code)), code) << modifiers << " " << key;
        }
    EXPECT_EQ(KeyCodeValue(KeyCode{kWin | kCtrl, 'A'}), 0x000A0041) << "Win is bit 8 of the high half";
    EXPECT_EQ(KeyCodeValue(KeyCode{kCtrl | kAlt, 'A'}), 196673) << "what existing files hold for Ctrl+Alt+A";
    EXPECT_EQ(KeyCodeFromValue(0), std::nullopt);
    EXPECT_EQ(KeyCodeFromValue(-5), std::nullopt);
}

TEST(KeyCombination, WordsAndWhichChordsMayBeChosen) {
    EXPECT_EQ(CombinationWords(KeyCode{kCtrl | kShift, '1'}), "Ctrl + Shift + 1");
    EXPECT_EQ(CombinationWords(KeyCode{kWin | kAlt | kCtrl, 'A'}), "Ctrl + Alt + Win + A");
    EXPECT_EQ(CombinationWords(KeyCode{kCtrl | kAlt, VK_OEM_2}), "Ctrl + Alt + /");
    const std::pair<KeyCode, bool> chords[] = {
        {{kCtrl | kAlt, 'A'}, true},  {{kWin | kShift, 'Q'}, true}, {{kCtrl, 'A'}, false},
        {{0, 'A'}, false},            {{kCtrl | kAlt, VK_SHIFT}, false}, {{kCtrl | kAlt | 0x10, 'A'}, false}};
    for (const auto& [chord, choosable] : chords)
        EXPECT_EQ(IsChoosableChord(chord), choosable) << CombinationWords(chord);
}

// Which keys are dedicated (not volume or media-transport keys, which the system and players
// answer) and their names, each its own.
TEST(DedicatedKeys, WhichKeysAndTheirNames) {
    std::vector<WORD> expected;
    for (int key = VK_F13; key <= VK_F24; ++key) expected.push_back(static_cast<WORD>(key));
    for (int key = VK_BROWSER_BACK; key <= VK_BROWSER_HOME; ++key) expected.push_back(static_cast<WORD>(key));
    for (int key = VK_LAUNCH_MAIL; key <= VK_LAUNCH_APP2; ++key) expected.push_back(static_cast<WORD>(key));
    EXPECT_EQ(std::vector<WORD>(std::begin(kDedicatedKeys), std::end(kDedicatedKeys)), expected);
    std::set<std::string> names{""};
    for (WORD key : kDedicatedKeys) EXPECT_TRUE(names.insert(DedicatedKeyName(key)).second) << key;
    EXPECT_EQ(CombinationWords({0, VK_F13}), "F13");
    EXPECT_EQ(CombinationWords({kCtrl, VK_LAUNCH_APP2}), "Ctrl + 電卓");
    EXPECT_EQ(CombinationWords({0, VK_BROWSER_HOME}), "ブラウザー: ホーム");
}

// The hook reports what the link dialog lets the user choose, once per press: a dedicated key
// with any modifiers or none, every other key only with two or more.
TEST(DedicatedKeys, HookAndDialogAgreeWhichChordsCount) {
    const std::tuple<WORD, WORD, bool> cases[] = {
        {VK_F13, 0, true},       {VK_F13, kShift, true},   {VK_F18, kCtrl | kAlt, true},
        {VK_LAUNCH_MAIL, kCtrl | kAlt | kShift, true},     {VK_BROWSER_BACK, kCtrl | kAlt | kShift | kWin, true},
        {'A', 0, false},         {'A', kCtrl, false},      {'A', kWin, false},
        {VK_F12, 0, false},      {VK_VOLUME_UP, 0, false}, {'A', kCtrl | kAlt, true},
    };
    for (const auto& [key, modifiers, counts] : cases) {
        const std::string words = CombinationWords({modifiers, key});
        EXPECT_EQ(IsChoosableChord({modifiers, key}), counts) << words;
        const auto chord = ChordTracker::OnKeyEvent(key, false, SystemKeyState{modifiers, false});
        EXPECT_EQ(chord ? std::optional<KeyCode>(KeyCode{chord->modifiers, chord->virtualKey}) : std::nullopt,
                  counts ? std::optional<KeyCode>(KeyCode{modifiers, key}) : std::nullopt) << words;
        EXPECT_FALSE(ChordTracker::OnKeyEvent(key, false, SystemKeyState{modifiers, true})) << "repeat of " << words;
    }
}

KeySetTable Table() {
    KeySetTable table;
    for (int n = 1; n <= 30; ++n) table.Append(KeySet{n});
    return table;
}

// Layouts stand in through the probes: one that types "@" for Ctrl+Alt+Q, as German does.
ConflictProbes GermanLikeProbes(bool hotkeyTaken) {
    ConflictProbes probes;
    probes.layouts = [] { return std::vector<HKL>{reinterpret_cast<HKL>(0x04070407)}; };
    probes.typed = [](HKL, KeyCode code) {
        return code == KeyCode{kCtrl | kAlt, 'Q'} ? std::wstring(L"@") : std::wstring();
    };
    probes.layoutName = [](HKL) { return std::string("ドイツ語"); };
    probes.hotkeyTaken = [hotkeyTaken](KeyCode) { return hotkeyTaken; };
    return probes;
}

TEST(KeyConflicts, SameCombinationCharacterTypedAndHotkeyTaken) {
    KeySetTable table = Table();
    table.At(4).keycode = KeyCodeValue({kCtrl | kAlt, 'B'});  // key 5 stores key 2's default
    const auto same = FindKeyConflicts(table, 5, {kCtrl | kAlt, 'B'}, GermanLikeProbes(false));
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(same[0].otherKey, 2);
    EXPECT_EQ(ConflictsText(same), "キー2と同じ組み合わせです。番号の小さいキーだけが開きます。");

    const auto typed = FindKeyConflicts(table, 17, {kCtrl | kAlt, 'Q'}, GermanLikeProbes(true));
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[0].kind, KeyConflict::Kind::TypesCharacter);
    EXPECT_EQ(ConflictsText(typed),
              "キーボード配列「ドイツ語」では、この組み合わせで「@」が入力されます（文字の入力中にも開きます）。\r\n"
              "この組み合わせは、ほかのプログラムがホットキーとして使っています。");
    EXPECT_TRUE(FindKeyConflicts(table, 1, {kCtrl | kAlt | kWin, 'Q'}, GermanLikeProbes(false)).empty())
        << "the Windows key types nothing";
    table.At(0).ReplaceLink("C:\\a.exe");
    table.At(0).text = "hello";
    EXPECT_EQ(ConflictsText(FindKeyConflicts(table, 1, {kCtrl | kAlt | kWin, 'Q'}, GermanLikeProbes(false))),
              "入力する文字とリンクの両方が設定されています。このキーはリンクを開き、文字は入力しません。");
}

// A lone F13 types nothing on any layout, whatever a layout's table answers for its code; a
// duplicate and another program's hotkey are warned about as for chords.
TEST(KeyConflicts, ALoneDedicatedKeyIsNeverTakenForTyping) {
    KeySetTable table = Table();
    table.At(6).keycode = VK_F13;
    ConflictProbes probes = GermanLikeProbes(true);
    probes.typed = [](HKL, KeyCode) { return std::wstring(L"x"); };
    EXPECT_EQ(ConflictsText(FindKeyConflicts(table, 3, {0, VK_F13}, probes)),
              "キー7と同じ組み合わせです。番号の小さいキーだけが開きます。\r\n"
              "この組み合わせは、ほかのプログラムがホットキーとして使っています。");
}

// The system's own answers: a hotkey another thread holds is seen as taken; what Wine's
// German layout types for Ctrl+Alt+Q is reported, not asserted.
TEST(KeyConflicts, SystemProbesSeeAHotkeyHeldElsewhere) {
    const ConflictProbes system = ConflictProbes::System();
    const KeyCode chord{kCtrl | kShift, VK_F11};
    bool registered = false;
    bool seenTaken = false;
    std::thread holder([&] {
        registered = ::RegisterHotKey(nullptr, 1, chord.modifiers, chord.virtualKey) != FALSE;
        std::thread([&] { seenTaken = system.hotkeyTaken(chord); }).join();
        ::UnregisterHotKey(nullptr, 1);
    });
    holder.join();
    ASSERT_TRUE(registered);
    EXPECT_TRUE(seenTaken);
    EXPECT_FALSE(system.hotkeyTaken(chord)) << "free again";
    if (HKL german = ::LoadKeyboardLayoutW(L"00000407", KLF_NOTELLSHELL))
        std::printf("Wine's German layout %p types '%ls' for Ctrl+Alt+Q\n", static_cast<void*>(german),
                    system.typed(german, {kCtrl | kAlt, 'Q'}).c_str());
    else
        std::printf("Wine gives no German layout (LoadKeyboardLayout failed)\n");
}

// A key-down arriving while the modifiers are held, as the dialog's loop sees it.
void Press(HWND dialog, WORD key, std::initializer_list<int> held) {
    BYTE state[256] = {};
    for (int modifier : held) state[modifier] = 0x80;
    ::SetKeyboardState(state);
    ::PostMessageA(::GetDlgItem(dialog, IDC_KEY_SET), WM_KEYDOWN, key, 0);
}

// Runs the link dialog of key 3 with one step per tick (a posted press must be handled before
// the key state changes for the next one); its result.
INT_PTR RunLinkDialog(KeySetTable& table, const std::vector<std::function<void(HWND)>>& steps) {
    LinkDialog dialog(table, nullptr);
    dialog.SetKeyIndex(2);
    dialog.SetConflictProbes(GermanLikeProbes(false));
    HWND hwnd = nullptr;
    ModalScript script;
    script.Then([&] { return (hwnd = FindThreadWindow("リンク情報設定")) != nullptr; });
    for (const auto& step : steps) script.Then([&hwnd, &step] { return step(hwnd), true; });
    script.Start();
    const INT_PTR result = dialog.DoModal();
    script.Stop();
    BYTE none[256] = {};
    ::SetKeyboardState(none);
    EXPECT_TRUE(script.Finished());
    return result;
}

// The duplicate's warning and Cancel are proven with real keys end to end.
TEST(LinkDialogCombination, PressingChoosesRefusesAndOnlyOkStores) {
    KeySetTable table = Table();
    EXPECT_EQ(RunLinkDialog(table, {[](HWND d) {
                                        EXPECT_EQ(ControlText(d, IDC_KEY_COMBO), "Ctrl + Alt + C（既定）");
                                        ClickButton(d, IDC_KEY_SET);
                                    },
                                    [](HWND d) { Press(d, '1', {VK_CONTROL}); },  // one modifier: refused
                                    [](HWND d) {
                                        EXPECT_EQ(ControlText(d, IDC_KEY_NOTE),
                                                  "Ctrl、Alt、Shift、Win のうち 2 つ以上と一緒にキーを押してください（F13 から F24 やメール、ブラウザー用などの専用キーは単独でも設定できます）。");
                                        ClickButton(d, IDCANCEL);
                                    }}),
              IDCANCEL);
    EXPECT_EQ(table.At(2).keycode, 0) << "Cancel stores nothing";

    EXPECT_EQ(RunLinkDialog(table, {[](HWND d) { ClickButton(d, IDC_KEY_SET); },
                                    [](HWND d) { Press(d, '1', {VK_CONTROL, VK_SHIFT}); },
                                    [](HWND d) {
                                        EXPECT_EQ(ControlText(d, IDC_KEY_COMBO), "Ctrl + Shift + 1");
                                        EXPECT_EQ(ControlText(d, IDC_KEY_NOTE), "");
                                        ClickButton(d, IDC_KEY_ACTIVATE);  // switch to the running program
                                    },
                                    [](HWND d) { ClickButton(d, IDOK); }}),
              IDOK);
    EXPECT_EQ(table.At(2).keycode, KeyCodeValue({kCtrl | kShift, '1'}));
    EXPECT_TRUE(table.At(2).activate);

    EXPECT_EQ(RunLinkDialog(table, {[](HWND d) { ClickButton(d, IDC_KEY_DEFAULT); },
                                    [](HWND d) { ClickButton(d, IDOK); }}),
              IDOK);
    EXPECT_EQ(table.At(2).keycode, 0) << "the default is stored as 0";
}
}  // namespace
