// The hook library's decision which key events are favourite-key chords.
#include <gtest/gtest.h>

#include "ChordTracker.h"

namespace {
constexpr bool kDown = false;
constexpr bool kUp = true;

TEST(ChordTracker, CtrlAltLetterIsReportedOnceUntilReleased) {
    ChordTracker tracker;
    EXPECT_FALSE(tracker.OnKeyEvent(VK_LCONTROL, kDown, 0));
    EXPECT_FALSE(tracker.OnKeyEvent(VK_LMENU, kDown, 0));
    auto chord = tracker.OnKeyEvent('A', kDown, 0);
    ASSERT_TRUE(chord);
    EXPECT_EQ(chord->virtualKey, 'A');
    EXPECT_EQ(chord->modifiers, 3);
    EXPECT_FALSE(tracker.OnKeyEvent('A', kDown, 0)) << "auto-repeat";
    EXPECT_FALSE(tracker.OnKeyEvent('A', kUp, 0));
    EXPECT_TRUE(tracker.OnKeyEvent('A', kDown, 0)) << "pressed again";
}

TEST(ChordTracker, NeedsTwoOfCtrlAltShift) {
    ChordTracker tracker;
    tracker.OnKeyEvent(VK_LCONTROL, kDown, 0);
    EXPECT_FALSE(tracker.OnKeyEvent('B', kDown, 0)) << "Ctrl alone";
    tracker.OnKeyEvent('B', kUp, 0);
    tracker.OnKeyEvent(VK_RSHIFT, kDown, 0);
    auto chord = tracker.OnKeyEvent(VK_OEM_4, kDown, 0);
    ASSERT_TRUE(chord);
    EXPECT_EQ(chord->modifiers, 6);
    tracker.OnKeyEvent(VK_LCONTROL, kUp, 0);
    tracker.OnKeyEvent(VK_OEM_4, kUp, 0);
    EXPECT_FALSE(tracker.OnKeyEvent(VK_OEM_4, kDown, 0)) << "Shift alone";
    tracker.OnKeyEvent(VK_OEM_4, kUp, 0);
    tracker.OnKeyEvent(VK_LMENU, kDown, 0);
    tracker.OnKeyEvent(VK_LCONTROL, kDown, 0);
    chord = tracker.OnKeyEvent('C', kDown, 0);
    ASSERT_TRUE(chord);
    EXPECT_EQ(chord->modifiers, 7);
}

TEST(ChordTracker, ModifiersHeldBeforeTheHookCountAndModifiersAloneNever) {
    ChordTracker tracker;
    auto chord = tracker.OnKeyEvent('Z', kDown, 3);
    ASSERT_TRUE(chord);
    EXPECT_EQ(chord->modifiers, 3);
    EXPECT_FALSE(tracker.OnKeyEvent(VK_LSHIFT, kDown, 3));
    EXPECT_FALSE(tracker.OnKeyEvent(0x1234, kDown, 3)) << "out of range";
    tracker.Reset();
    EXPECT_FALSE(tracker.OnKeyEvent('Z', kDown, 0));
}
}  // namespace
