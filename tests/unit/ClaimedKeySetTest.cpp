// The hook library's decision which key events it keeps from the rest of the system: only
// the claimed dedicated-key combinations, down, repeats and up.
#include <gtest/gtest.h>

#include <vector>

#include "ClaimedKeySet.h"

namespace {
// The set as the program sends it.
bool Claim(ClaimedKeySet& set, std::vector<DWORD> codes, UINT size = sizeof(VelClaimedKeys)) {
    const VelClaimedKeys claimed{size, static_cast<UINT>(codes.size()), codes.data()};
    return set.Replace(&claimed);
}

// Whether a fresh press (down, then up) is kept, both halves alike.
bool KeepsPress(ClaimedKeySet& set, DWORD key, WORD modifiers) {
    const bool down = set.OnKeyDown(key, modifiers, false, 0).keep;
    EXPECT_EQ(set.OnKeyUp(key), down) << key;
    return down;
}

TEST(ClaimedKeySet, KeepsExactlyTheClaimedCombinations) {
    ClaimedKeySet set;
    // A lone F13, Shift+Mail, and what no program could make the hook keep: Ctrl+Alt+A.
    ASSERT_TRUE(Claim(set, {VK_F13, (4 << 16) | VK_LAUNCH_MAIL, (3 << 16) | 'A'}));
    EXPECT_TRUE(KeepsPress(set, VK_F13, 0));
    EXPECT_TRUE(KeepsPress(set, VK_LAUNCH_MAIL, 4));
    EXPECT_FALSE(KeepsPress(set, VK_F13, 4)) << "Shift+F13 is not claimed";
    EXPECT_FALSE(KeepsPress(set, VK_F14, 0));
    EXPECT_FALSE(KeepsPress(set, 'A', 3)) << "chords always pass";
    EXPECT_FALSE(set.OnKeyDown(VK_F13, 0, true, 0).keep) << "went past before it was claimed";
}

// A kept key-down never reaches the system's key state, so its repeats are recognised here
// (and kept); a key-down long after the last one is a new press even when its release was
// never seen (the secure desktop, a stopped hook).
TEST(ClaimedKeySet, RepeatsOfAKeptKeyAreKeptAndNotNewPresses) {
    ClaimedKeySet set;
    ASSERT_TRUE(Claim(set, {VK_F13}));
    EXPECT_FALSE(set.OnKeyDown(VK_F13, 0, false, 1000).repeat);
    const ClaimedKeySet::KeyDown repeat = set.OnKeyDown(VK_F13, 0, false, 1500);
    EXPECT_TRUE(repeat.keep && repeat.repeat);
    const ClaimedKeySet::KeyDown later = set.OnKeyDown(VK_F13, 0, false, 1500 + 5000);
    EXPECT_TRUE(later.keep && !later.repeat);
    set.ForgetPresses();
    EXPECT_FALSE(set.OnKeyUp(VK_F13)) << "a release after the hook was removed passes";
}

// The whole set is replaced at once, and a key held meanwhile is released as it was pressed.
// A structure the library cannot read claims nothing; a newer caller's larger one is read as
// far as this library knows it.
TEST(ClaimedKeySet, ReplacedWholeAndOnlyFromAReadableStructure) {
    ClaimedKeySet set;
    ASSERT_TRUE(Claim(set, {VK_F13, VK_F14}));
    EXPECT_TRUE(set.OnKeyDown(VK_F13, 0, false, 0).keep);
    ASSERT_TRUE(Claim(set, {VK_F15}));
    EXPECT_TRUE(set.OnKeyUp(VK_F13)) << "its key-down was kept";
    EXPECT_FALSE(KeepsPress(set, VK_F13, 0));
    EXPECT_FALSE(KeepsPress(set, VK_F14, 0));
    EXPECT_TRUE(KeepsPress(set, VK_F15, 0));

    const VelClaimedKeys noList{sizeof(VelClaimedKeys), 1, nullptr};
    EXPECT_FALSE(set.Replace(&noList));
    EXPECT_FALSE(KeepsPress(set, VK_F15, 0)) << "the old set is gone too";
    EXPECT_FALSE(Claim(set, {VK_F16}, sizeof(VelClaimedKeys) - 1));
    EXPECT_FALSE(Claim(set, std::vector<DWORD>(ClaimedKeySet::kCapacity + 1, VK_F16)));
    EXPECT_FALSE(KeepsPress(set, VK_F16, 0));
    ASSERT_TRUE(Claim(set, {VK_F17}, sizeof(VelClaimedKeys) + 32));
    EXPECT_TRUE(KeepsPress(set, VK_F17, 0));
}
}  // namespace
