#include <gtest/gtest.h>

#include "keys/KeyMatching.h"

namespace {
KeySetTable ThirtyEmptyKeys() {
    KeySetTable table;
    for (int number = 1; number <= KeySetTable::kKeyCount; ++number) table.Append(KeySet{number});
    return table;
}

int FoundNumber(KeySetTable& table, WPARAM virtualKey, LPARAM modifiers) {
    const KeySet* record = FindKeySetForKey(table, virtualKey, modifiers);
    return record ? record->number : 0;
}

TEST(DefaultKeyCode, TheWholeTable) {
    EXPECT_EQ(DefaultKeyCode(1), (KeyCode{3, 0x41}));
    EXPECT_EQ(DefaultKeyCode(26), (KeyCode{3, 0x5A}));
    EXPECT_EQ(DefaultKeyCode(27), (KeyCode{3, VK_OEM_PLUS}));
    EXPECT_EQ(DefaultKeyCode(28), (KeyCode{3, VK_OEM_COMMA}));
    EXPECT_EQ(DefaultKeyCode(29), (KeyCode{3, VK_OEM_PERIOD}));
    EXPECT_EQ(DefaultKeyCode(30), (KeyCode{3, VK_OEM_2}));
    EXPECT_EQ(DefaultKeyCode(31), (KeyCode{3, VK_OEM_PLUS}));
    EXPECT_EQ(DefaultKeyCode(32), (KeyCode{3, VK_OEM_5}));
    EXPECT_EQ(DefaultKeyCode(33), (KeyCode{3, VK_OEM_2}));
    EXPECT_EQ(DefaultKeyCode(34), (KeyCode{3, VK_OEM_PERIOD}));
    EXPECT_EQ(DefaultKeyCode(35), (KeyCode{3, VK_OEM_COMMA}));
    EXPECT_EQ(DefaultKeyCode(36), (KeyCode{6, 0x41}));
    EXPECT_EQ(DefaultKeyCode(61), (KeyCode{6, 0x5A}));
    EXPECT_EQ(DefaultKeyCode(62), (KeyCode{6, VK_OEM_4}));
    EXPECT_EQ(DefaultKeyCode(63), (KeyCode{6, VK_OEM_6}));
    EXPECT_EQ(DefaultKeyCode(64), (KeyCode{6, VK_OEM_3}));
    EXPECT_FALSE(DefaultKeyCode(0));
    EXPECT_FALSE(DefaultKeyCode(65));
    EXPECT_FALSE(DefaultKeyCode(-1));
}

TEST(FindKeySetForKey, DefaultsOfAFreshTable) {
    KeySetTable table = ThirtyEmptyKeys();
    EXPECT_EQ(FoundNumber(table, 0x41, 3), 1);
    EXPECT_EQ(FoundNumber(table, 0x5A, 3), 26);
    EXPECT_EQ(FoundNumber(table, 0xBB, 3), 27);
    EXPECT_EQ(FoundNumber(table, 0xBF, 3), 30);
    // Ctrl+Shift+A belongs to key 36, which the table does not hold.
    EXPECT_EQ(FoundNumber(table, 0x41, 6), 0);
    EXPECT_EQ(FoundNumber(table, 0x41, 0), 0);
}

TEST(FindKeySetForKey, OnlyLowHalfOfModifiersButAllOfVirtualKeyCount) {
    KeySetTable table = ThirtyEmptyKeys();
    EXPECT_EQ(FoundNumber(table, 0x41, static_cast<LPARAM>(0x12340003)), 1);
    EXPECT_EQ(FoundNumber(table, static_cast<WPARAM>(0x00010041), 3), 0);
    EXPECT_EQ(FoundNumber(table, static_cast<WPARAM>(0x80000041u), 3), 0);
    // The top bit of each parameter, at the build's own width (32 or 64 bits).
    const WPARAM topBit = WPARAM{1} << (8 * sizeof(WPARAM) - 1);
    EXPECT_EQ(FoundNumber(table, topBit | 0x41, 3), 0);
    EXPECT_EQ(FoundNumber(table, 0x41, static_cast<LPARAM>(topBit | 3)), 1);
}

TEST(FindKeySetForKey, StoredCodeReplacesDefaultAndFirstWins) {
    KeySetTable table = ThirtyEmptyKeys();
    table.At(0).keycode = (3 << 16) | 0x42;
    EXPECT_EQ(FoundNumber(table, 0x41, 3), 0);
    EXPECT_EQ(FoundNumber(table, 0x42, 3), 1);  // key 2's default, but key 1 comes first
    table.At(0).keycode = 112;
    EXPECT_EQ(FoundNumber(table, 0x70, 0), 1);
    EXPECT_EQ(FoundNumber(table, 0x42, 3), 2);
    // A stored code on a later key equal to an earlier key's default never wins.
    table.At(4).keycode = (3 << 16) | 0x43;
    EXPECT_EQ(FoundNumber(table, 0x43, 3), 3);
}

TEST(FindKeySetForKey, NegativeCodeMeansDefaultAndEmptyTableFindsNothing) {
    KeySetTable table = ThirtyEmptyKeys();
    table.At(0).keycode = -196673;
    EXPECT_EQ(FoundNumber(table, 0x41, 3), 1);
    KeySetTable empty;
    EXPECT_EQ(FoundNumber(empty, 0x41, 3), 0);
    // A record outside the default table without a stored code answers to nothing.
    KeySetTable odd;
    odd.Append(KeySet{70});
    EXPECT_FALSE(EffectiveKeyCode(odd.At(0)));
    EXPECT_EQ(FoundNumber(odd, 0, 0), 0);
}
}  // namespace

namespace {
// The keys-at-a-glance combination: none by default, else compared as a key's is.
TEST(IsGlanceKey, NoneByDefaultThenItsCodeWithTheLowHalfOfTheModifiers) {
    KeySetTable table = ThirtyEmptyKeys();
    EXPECT_FALSE(IsGlanceKey(table, 0, 0));
    table.SetGlanceKeyCode((3 << 16) | 'K');
    EXPECT_TRUE(IsGlanceKey(table, 'K', 3));
    EXPECT_TRUE(IsGlanceKey(table, 'K', 0x70003));
    EXPECT_FALSE(IsGlanceKey(table, 'K', 7));
    EXPECT_FALSE(IsGlanceKey(table, 0x1004B, 3));
}
}  // namespace
