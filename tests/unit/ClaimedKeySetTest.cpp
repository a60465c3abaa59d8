// The hook library's decision which key events it keeps from the rest of the system: only
// the claimed dedicated-key combinations, down and up.
#include <gtest/gtest.h>

#include <vector>

#include "ClaimedKeySet.h"

namespace {
constexpr WORD kCtrlAlt = 3;
constexpr WORD kShift = 4;

// The set as the program sends it.
bool Claim(ClaimedKeySet& set, std::vector<DWORD> codes, UINT size = sizeof(VelClaimedKeys)) {
    const VelClaimedKeys claimed{size, static_cast<UINT>(codes.size()), codes.data()};
    return set.Replace(&claimed);
}

bool KeepsDown(ClaimedKeySet& set, DWORD key, WORD modifiers, DWORD time = 0) {
    return set.OnKeyDown(key, modifiers, false, time).keep;
}

TEST(ClaimedKeySet, KeepsExactlyAClaimedKeyDownAndItsKeyUp) {
    ClaimedKeySet set;
    // A lone F13, Shift+Mail, and what no program could make the hook keep: Ctrl+Alt+A.
    ASSERT_TRUE(Claim(set, {VK_F13, (kShift << 16) | VK_LAUNCH_MAIL, (kCtrlAlt << 16) | 'A'}));
    EXPECT_TRUE(KeepsDown(set, VK_F13, 0));
    EXPECT_TRUE(set.OnKeyUp(VK_F13));
    EXPECT_FALSE(set.OnKeyUp(VK_F13)) << "one key-up per kept key-down";
    EXPECT_TRUE(KeepsDown(set, VK_LAUNCH_MAIL, kShift));
    EXPECT_TRUE(set.OnKeyUp(VK_LAUNCH_MAIL));

    EXPECT_FALSE(KeepsDown(set, VK_F13, kShift)) << "Shift+F13 is not claimed";
    EXPECT_FALSE(set.OnKeyUp(VK_F13));
    EXPECT_FALSE(KeepsDown(set, VK_F14, 0)) << "unclaimed";
    EXPECT_FALSE(set.OnKeyUp(VK_F14));
    EXPECT_FALSE(KeepsDown(set, 'A', kCtrlAlt)) << "chords always pass";
    EXPECT_FALSE(set.OnKeyUp('A'));
    EXPECT_FALSE(set.OnKeyDown(VK_F13, 0, true, 0).keep) << "went past before it was claimed";
}

// A kept key-down never reaches the system's key state, so its repeats are recognised here
// (and kept); a key-down long after the last one is a new press, even when the release was
// never seen (the secure desktop, a stopped hook).
TEST(ClaimedKeySet, RepeatsOfAKeptKeyAreKeptAndNotNewPresses) {
    ClaimedKeySet set;
    ASSERT_TRUE(Claim(set, {VK_F13}));
    EXPECT_FALSE(set.OnKeyDown(VK_F13, 0, false, 1000).repeat);
    for (DWORD time : {1500u, 1530u, 1560u}) {
        const ClaimedKeySet::KeyDown repeat = set.OnKeyDown(VK_F13, 0, false, time);
        EXPECT_TRUE(repeat.keep && repeat.repeat) << time;
    }
    const ClaimedKeySet::KeyDown later = set.OnKeyDown(VK_F13, 0, false, 1560u + 5000u);
    EXPECT_TRUE(later.keep);
    EXPECT_FALSE(later.repeat);
    set.ForgetPresses();
    EXPECT_FALSE(set.OnKeyUp(VK_F13)) << "a release after the hook was removed passes";
}

// The whole set is replaced at once; a key held across a replacement is released as it was
// pressed; a structure the library cannot read claims nothing; a newer caller's larger one is
// read as far as this library knows it.
TEST(ClaimedKeySet, ReplacedWholeAndOnlyFromAReadableStructure) {
    ClaimedKeySet set;
    ASSERT_TRUE(Claim(set, {VK_F13, VK_F14}));
    EXPECT_TRUE(KeepsDown(set, VK_F13, 0));
    ASSERT_TRUE(Claim(set, {VK_F15}));
    EXPECT_TRUE(set.OnKeyUp(VK_F13)) << "its key-down was kept";
    EXPECT_FALSE(KeepsDown(set, VK_F13, 0));
    EXPECT_FALSE(KeepsDown(set, VK_F14, 0));
    EXPECT_TRUE(KeepsDown(set, VK_F15, 0));

    EXPECT_FALSE(Claim(set, {VK_F16}, sizeof(VelClaimedKeys) - 1));
    EXPECT_FALSE(KeepsDown(set, VK_F16, 0));
    EXPECT_FALSE(KeepsDown(set, VK_F15, 0, 100000)) << "the old set is gone too";
    EXPECT_FALSE(Claim(set, std::vector<DWORD>(ClaimedKeySet::kCapacity + 1, VK_F16)));
    EXPECT_FALSE(KeepsDown(set, VK_F16, 0));
    const VelClaimedKeys noList{sizeof(VelClaimedKeys), 1, nullptr};
    EXPECT_FALSE(set.Replace(&noList));

    ASSERT_TRUE(Claim(set, {VK_F17}, sizeof(VelClaimedKeys) + 32));
    EXPECT_TRUE(KeepsDown(set, VK_F17, 0));
    EXPECT_TRUE(set.Replace(nullptr));
    EXPECT_FALSE(KeepsDown(set, VK_F18, 0));
    EXPECT_FALSE(KeepsDown(set, VK_F17, 0, 100000));
}
}  // namespace
