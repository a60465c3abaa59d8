// Reading the page address out of the browser's reply, byte strings in, address out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "browser/PageAddressReply.h"

namespace {
// The address buffer with bytes after it, to see that nothing is written past its end.
struct GuardedAddress {
    char address[kPageAddressSize];
    char guard[64];

    explicit GuardedAddress(char fill = 'Q') {
        std::memset(address, fill, sizeof address);
        std::memset(guard, 'G', sizeof guard);
    }
    bool GuardIntact() const {
        for (char c : guard)
            if (c != 'G') return false;
        return true;
    }
    bool Untouched(char fill = 'Q') const {
        for (char c : address)
            if (c != fill) return false;
        return true;
    }
};

const BYTE* Bytes(const std::string& reply) { return reinterpret_cast<const BYTE*>(reply.data()); }

// Parses a reply given with its terminator; the address, or "<untouched>".
std::string AddressOf(const std::string& text) {
    const std::string reply = text + std::string(1, '\0');
    GuardedAddress out;
    if (!ParsePageAddressReply(Bytes(reply), static_cast<DWORD>(reply.size()), out.address))
        return "<untouched>";
    EXPECT_TRUE(out.GuardIntact());
    return out.address;
}

TEST(BrowserReply, WorkedExampleOf27Bytes) {
    const std::string reply = std::string("\"page/one.html\",\"Page one\"") + '\0';
    ASSERT_EQ(reply.size(), 27u);
    GuardedAddress out;
    EXPECT_TRUE(ParsePageAddressReply(Bytes(reply), 27, out.address));
    EXPECT_STREQ(out.address, "page/one.html");
}

TEST(BrowserReply, FirstFieldRule) {
    const struct {
        const char* reply;
        const char* address;
    } rows[] = {
        {"\"abc\",\"def\"", "abc"},
        {"\"abc\"", "abc"},
        {"abc", "abc"},
        {"abc,def", "abc,def"},             // no quote before the comma: no separator
        {"\"a\"b\",\"c\"", "a\"b"},         // inner quotes stay
        {"\"\",\"\"", ""},                  // empty first field
        {"\"a,b\",\"c\"", "a,b"},           // a comma inside the field is no separator
        {"\"\"abc\"\",\"d\"", "\"abc\""},   // one quote at most on either side
        {"\"http://x/\",\"t\",\"u\"", "http://x/"},
        {"\"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reply);
        EXPECT_EQ(AddressOf(row.reply), row.address);
    }
}

TEST(BrowserReply, EndsAtItsSizeWithoutTerminatorOrAtItsFirstNul) {
    const std::string memory = "\"abc\"ZZZZ";
    GuardedAddress out;
    EXPECT_TRUE(ParsePageAddressReply(Bytes(memory), 5, out.address));
    EXPECT_STREQ(out.address, "abc");

    EXPECT_TRUE(ParsePageAddressReply(Bytes(memory), 3, out.address));
    EXPECT_STREQ(out.address, "ab") << "the size cuts the field";

    const std::string early = std::string("\"abc\"") + '\0' + "\"xyz\",\"t\"";
    EXPECT_TRUE(ParsePageAddressReply(Bytes(early), static_cast<DWORD>(early.size()),
                                      out.address));
    EXPECT_STREQ(out.address, "abc") << "nothing after the first NUL counts";
}

TEST(BrowserReply, AnAddressLongerThan1023CharactersIsCut) {
    const std::string reply = "\"" + std::string(2000, 'a') + "\",\"title\"";
    GuardedAddress out;
    EXPECT_TRUE(ParsePageAddressReply(Bytes(reply), static_cast<DWORD>(reply.size()),
                                      out.address));
    EXPECT_EQ(std::string(out.address), std::string(1023, 'a'));
    EXPECT_TRUE(out.GuardIntact());

    // Exactly 1023 characters still fit whole, and the closing quote is not kept.
    const std::string fits = "\"" + std::string(1023, 'b') + "\"";
    EXPECT_TRUE(ParsePageAddressReply(Bytes(fits), static_cast<DWORD>(fits.size()),
                                      out.address));
    EXPECT_EQ(std::string(out.address), std::string(1023, 'b'));
}

TEST(BrowserReply, AnEmptyReplyLeavesTheBufferUntouched) {
    GuardedAddress out;
    const std::string reply = "\"abc\"";
    EXPECT_FALSE(ParsePageAddressReply(Bytes(reply), 0, out.address));
    EXPECT_FALSE(ParsePageAddressReply(nullptr, 5, out.address));
    EXPECT_TRUE(out.Untouched());

    // A reply that is only its terminator did carry text: an empty address.
    const std::string terminator(1, '\0');
    EXPECT_TRUE(ParsePageAddressReply(Bytes(terminator), 1, out.address));
    EXPECT_STREQ(out.address, "");
}

// Double-byte characters are read in the system's ANSI code page.
class BrowserReplyCp932 : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page";
    }
};

TEST_F(BrowserReplyCp932, AQuoteByteInsideADoubleByteCharacterIsNoSeparator) {
    // 0x81 is a lead byte; the 0x22 after it belongs to that character.
    EXPECT_EQ(AddressOf("\"x\x81\x22,y\",\"t\""), "x\x81\x22,y");
    // Nor is it a closing quote to drop.
    EXPECT_EQ(AddressOf("\"x\x81\x22"), "x\x81\x22");
}

TEST_F(BrowserReplyCp932, JapaneseAddressAndCutBetweenCharacters) {
    EXPECT_EQ(AddressOf("\"http://例.jp/ソフト\",\"ページ\""), "http://例.jp/ソフト");

    // 1022 bytes and a double-byte character: the character does not fit and is not split.
    const std::string reply = "\"" + std::string(1022, 'a') + "あ\"";
    GuardedAddress out;
    EXPECT_TRUE(ParsePageAddressReply(Bytes(reply), static_cast<DWORD>(reply.size()),
                                      out.address));
    EXPECT_EQ(std::string(out.address), std::string(1022, 'a'));
    EXPECT_TRUE(out.GuardIntact());
}
}  // namespace
