// The hook library's owner and the pause around nested modal steps, with the recording
// library that the build puts in support\recording\ beside the test program.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "common/FileText.h"
#include "common/HookLogLine.h"
#include "keys/HookLibrary.h"

namespace {
std::string RecordingDirectory() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.rfind('\\') + 1) + "support\\recording\\";
}

TEST(HookPause, RestartsTowardItsTargetEvenWhenTheStepThrows) {
    const std::string directory = RecordingDirectory();
    ::DeleteFileA((directory + "hook-calls.log").c_str());
    std::shared_ptr<HookLibrary> library = HookLibrary::LoadFrom(directory);
    ASSERT_TRUE(library);
    const HWND target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_THROW(
        {
            HookPause pause(library, target);
            throw std::runtime_error("a nested step failed");
        },
        std::runtime_error);
    // A holder that let go of the library meanwhile restarts nothing.
    std::shared_ptr<HookLibrary> released = library;
    {
        HookPause pause(released, target);
        released.reset();
    }
    EXPECT_EQ(ReadLines(directory + "hook-calls.log"),
              (std::vector<std::string>{"Stop", HookStartLine(target), "Stop"}));
    EXPECT_FALSE(HookLibrary::LoadFrom(directory + "nowhere\\")) << "no library there";
}

// The library is told every dedicated-key combination the table's keys answer to, once each,
// and nothing else.
TEST(HookLibrary, ClaimsTheDedicatedKeysOfTheTable) {
    const std::string directory = RecordingDirectory();
    ::DeleteFileA((directory + "hook-claims.log").c_str());
    std::shared_ptr<HookLibrary> library = HookLibrary::LoadFrom(directory);
    ASSERT_TRUE(library);
    KeySetTable table;
    for (int n = 1; n <= 30; ++n) table.Append(KeySet{n});
    library->ClaimKeys(table);  // the defaults: Ctrl+Alt with letters and signs
    table.At(0).keycode = VK_F13;
    table.At(1).keycode = VK_F13;
    table.At(2).keycode = (4 << 16) | VK_LAUNCH_MAIL;
    table.At(3).keycode = (3 << 16) | VK_F14;
    table.At(4).keycode = (3 << 16) | 'Q';
    table.SetGlanceKeyCode(VK_F15);  // the keys at a glance on a dedicated key of their own
    library->ClaimKeys(table);
    EXPECT_EQ(ReadLines(directory + "hook-claims.log"),
              (std::vector<std::string>{"", "0x0000007C 0x000400B4 0x0003007D 0x0000007E"}));
}
}  // namespace
