// What a typing key sends, recorded instead of sent: nothing while the combination is held,
// then the text as Unicode key events marked as the program's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "HookMessage.h"
#include "shell/TextTyper.h"

namespace {
// One event as "down/up Unicode unit" or "down/up VK".
std::string Describe(const INPUT& event) {
    const bool up = (event.ki.dwFlags & KEYEVENTF_KEYUP) != 0;
    const bool unicode = (event.ki.dwFlags & KEYEVENTF_UNICODE) != 0;
    return std::string(up ? "^" : "v") + (unicode ? "U+" : "VK") + std::to_string(unicode ? event.ki.wScan : event.ki.wVk);
}

TEST(TextTyper, TypesOnceTheCombinationIsUpAsMarkedUnicodeEventsWithKeysForBreaks) {
    std::set<int> held{VK_CONTROL, VK_MENU, 'A'};
    std::vector<std::vector<INPUT>> sent;
    TextTyper typer({[&](int key) { return held.count(key) != 0; },
                     [&](std::vector<INPUT>& events) { sent.push_back(events); }});
    typer.Queue("a\r\n日\tソ", 'A');
    EXPECT_TRUE(typer.Poll());
    held.erase('A');
    EXPECT_TRUE(typer.Poll()) << "Ctrl and Alt are still down";
    held.clear();
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(typer.Poll());
    ASSERT_EQ(sent.size(), 1u);
    std::vector<std::string> described;
    for (const INPUT& event : sent[0]) {
        described.push_back(Describe(event));
        EXPECT_EQ(event.ki.dwExtraInfo, kTypedInputMark);
        EXPECT_EQ(event.type, static_cast<DWORD>(INPUT_KEYBOARD));
    }
    EXPECT_EQ(described, (std::vector<std::string>{"vU+97", "^U+97", "vVK13", "^VK13", "vU+26085", "^U+26085",
                                                    "vVK9", "^VK9", "vU+12477", "^U+12477"}));
    EXPECT_FALSE(typer.Poll()) << "typed once";
    EXPECT_EQ(sent.size(), 1u);

    // A long text goes in parts, and waits again while a modifier is down.
    typer.Queue(std::string(150, 'x') + "\n" + std::string(49, 'y'), 'A');
    EXPECT_TRUE(typer.Poll());
    held.insert(VK_SHIFT);
    EXPECT_TRUE(typer.Poll());
    held.clear();
    EXPECT_FALSE(typer.Poll());
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].size(), TextTyper::kEventsPerPoll);
    EXPECT_EQ(sent[1].size() + sent[2].size(), 400u);
    EXPECT_EQ(Describe(sent[2][100]), "vVK13");
}
}  // namespace
