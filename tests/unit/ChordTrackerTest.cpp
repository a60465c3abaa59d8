// The hook library's decision which key events are favourite-key chords.
#include <gtest/gtest.h>

#include "ChordTracker.h"

namespace {
constexpr bool kDown = false;
constexpr bool kUp = true;

std::optional<KeyChord> Press(DWORD key, WORD held, bool alreadyDown = false) {
    return ChordTracker::OnKeyEvent(key, kDown, SystemKeyState{held, alreadyDown});
}

TEST(ChordTracker, TwoOfCtrlAltShiftHeldMakeAChordOnceUntilReleased) {
    auto chord = Press('A', 3);
    ASSERT_TRUE(chord);
    EXPECT_EQ(chord->virtualKey, 'A');
    EXPECT_EQ(chord->modifiers, 3);
    EXPECT_FALSE(Press('A', 3, true)) << "auto-repeat: the system has the key down already";
    EXPECT_FALSE(ChordTracker::OnKeyEvent('A', kUp, SystemKeyState{3, true}));
    EXPECT_EQ(Press(VK_OEM_4, 6)->modifiers, 6);
    EXPECT_EQ(Press('C', 7)->modifiers, 7);
    EXPECT_FALSE(Press('B', 2)) << "Ctrl alone";
    EXPECT_FALSE(Press(VK_LSHIFT, 3)) << "a modifier is never a chord";
    EXPECT_FALSE(Press(0x1234, 3)) << "out of range";
}

// Win+Ctrl+Alt+C is not Ctrl+Alt+C: the Windows key is reported as a bit of its own, so no
// combination without it (every default) matches a press with it held.
TEST(ChordTracker, AHeldWindowsKeyIsAModifierOfItsOwn) {
    EXPECT_EQ(Press('C', 3 | 8)->modifiers, 11);
    EXPECT_EQ(Press('C', 2 | 8)->modifiers, 10) << "Win counts as one of the two";
    EXPECT_FALSE(Press('C', 8)) << "Win alone";
    EXPECT_FALSE(Press(VK_LWIN, 3)) << "the Windows key itself is a modifier";
    EXPECT_FALSE(Press(VK_RWIN, 3));
}

// The faults of a remembered state: Ctrl+Alt+Del's releases happen on the secure desktop,
// and releases while the hook is stopped are never seen. Fed the downs without their ups,
// plain typing must stay plain as long as the system reports nothing held.
TEST(ChordTracker, KeyUpsNeverSeenLeaveNothingStuck) {
    ChordTracker::OnKeyEvent(VK_LCONTROL, kDown, SystemKeyState{0, false});
    ChordTracker::OnKeyEvent(VK_LMENU, kDown, SystemKeyState{2, false});
    ChordTracker::OnKeyEvent(VK_DELETE, kDown, SystemKeyState{3, false});
    EXPECT_FALSE(Press('A', 0));
    EXPECT_FALSE(Press('B', 0));
    // A letter whose release was never seen is not taken for a repeat when pressed again.
    ASSERT_TRUE(Press('H', 3));
    EXPECT_TRUE(Press('H', 3, false));
}
}  // namespace
