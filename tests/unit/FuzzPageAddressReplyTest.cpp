// A hundred thousand random byte strings as the browser's reply: the address is always
// terminated, at most 1023 bytes, and nothing is read or written outside the buffers.
//
// Reads past the reply are caught by putting its last byte right before a page that cannot
// be touched; writes around the address by canary bytes on both sides of it. Where the rule
// for the first field leaves nothing open, the address must also equal a plain model of it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "browser/PageAddressReply.h"

namespace {
constexpr std::uint32_t kSeed = 0x44444531u;
constexpr int kReplyCount = 100000;
constexpr std::size_t kMaxReply = 5000;
constexpr std::size_t kLimit = kPageAddressSize - 1;  // 1023 bytes of address

volatile LONG g_currentReply = -1;
LONG CALLBACK ReportCrash(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
        std::fprintf(stderr, "access violation at 0x%p while parsing fuzzed reply %ld\n",
                     reinterpret_cast<void*>(info->ExceptionRecord->ExceptionInformation[1]),
                     static_cast<long>(g_currentReply));
    return EXCEPTION_CONTINUE_SEARCH;
}

// Memory whose end is followed by a page that faults on any access.
class GuardedMemory {
public:
    GuardedMemory() {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_dataPages = (kMaxReply + m_page - 1) / m_page;
        m_base = static_cast<BYTE*>(::VirtualAlloc(nullptr, (m_dataPages + 1) * m_page,
                                                   MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        m_guarded = m_base && ::VirtualProtect(m_base + m_dataPages * m_page, m_page,
                                                PAGE_NOACCESS, &old);
    }
    ~GuardedMemory() {
        if (m_base) ::VirtualFree(m_base, 0, MEM_RELEASE);
    }
    GuardedMemory(const GuardedMemory&) = delete;
    GuardedMemory& operator=(const GuardedMemory&) = delete;

    bool IsReady() const { return m_guarded; }
    BYTE* Guard() const { return m_base + m_dataPages * m_page; }
    // The bytes copied so that the last one sits right before the guard page.
    const BYTE* PlaceAtEnd(const std::string& bytes) {
        BYTE* start = Guard() - bytes.size();
        if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
        return start;
    }

private:
    std::size_t m_page = 0;
    std::size_t m_dataPages = 0;
    BYTE* m_base = nullptr;
    bool m_guarded = false;
};

// The address buffer in the middle of a larger block whose other bytes are canaries.
struct CanaryBlock {
    static constexpr std::size_t kCanary = 256;
    static constexpr char kFill = '\x5A';
    unsigned char bytes[kCanary + kPageAddressSize + kCanary];

    static unsigned char CanaryAt(std::size_t i) { return static_cast<unsigned char>(0xA5 ^ (i * 7)); }

    void Reset() {
        for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = CanaryAt(i);
        std::memset(bytes + kCanary, kFill, kPageAddressSize);
    }
    char (&Address())[kPageAddressSize] {
        return *reinterpret_cast<char(*)[kPageAddressSize]>(bytes + kCanary);
    }
    bool CanariesIntact() const {
        for (std::size_t i = 0; i < kCanary; ++i)
            if (bytes[i] != CanaryAt(i)) return false;
        for (std::size_t i = kCanary + kPageAddressSize; i < sizeof bytes; ++i)
            if (bytes[i] != CanaryAt(i)) return false;
        return true;
    }
    bool AddressUntouched() const {
        for (std::size_t i = 0; i < kPageAddressSize; ++i)
            if (bytes[kCanary + i] != static_cast<unsigned char>(kFill)) return false;
        return true;
    }
};

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

class ReplyMaker {
public:
    explicit ReplyMaker(std::mt19937& rng) : m_rng(rng) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    // Mostly short replies, some around the 1023-byte limit, a few up to 5000 bytes; made of
    // quotes, commas, lead and trail bytes and NULs more often than chance would give them.
    std::string Reply() {
        const int roll = Below(100);
        std::size_t length;
        if (roll < 65) length = static_cast<std::size_t>(Below(65));
        else if (roll < 80) length = 1015 + static_cast<std::size_t>(Below(60));
        else if (roll < 92) length = static_cast<std::size_t>(Below(1500));
        else length = static_cast<std::size_t>(Below(static_cast<int>(kMaxReply) + 1));

        std::string reply;
        reply.reserve(length);
        if (length > 0 && Below(2) == 0) reply += '"';
        if (length > 900 && Below(2) == 0) {
            // A first field that reaches the 1023-byte limit: no comma before the separator.
            const std::size_t field = std::min(length, 1000 + static_cast<std::size_t>(Below(60)));
            while (reply.size() < field) {
                const std::string piece = Piece();
                if (piece.find(',') == std::string::npos && piece.find('\0') == std::string::npos)
                    reply += piece;
            }
            reply += "\",";
        }
        while (reply.size() < length) reply += Piece();
        reply.resize(length);
        switch (Below(6)) {
        case 0: if (!reply.empty()) reply.back() = '\0'; break;             // terminated
        case 1: if (!reply.empty()) reply.back() = LeadByte(); break;       // a lead byte last
        case 2: if (length >= 2) reply.replace(length - 2, 2, "\"\0", 2); break;
        default: break;                                                     // no terminator
        }
        return reply;
    }

private:
    char LeadByte() { return static_cast<char>("\x81\x82\x88\x9F\xE0\xEA\xFC"[Below(7)]); }

    std::string Piece() {
        const int roll = Below(100);
        if (roll < 15) return "\"";
        if (roll < 22) return ",";
        if (roll < 30) return "\",";
        if (roll < 33) return "\",\"";
        if (roll < 45) {  // a double-byte character, now and then with a quote or comma after
            static const char kTrails[] = "\x40\x5C\x7E\x80\x9F\xFC\x5D\x41";
            static const char kNoTrails[] = "\x22\x2C\x00\x01\x7F";
            if (Below(10) < 2) return std::string(1, LeadByte()) + kNoTrails[Below(sizeof kNoTrails - 1)];
            return std::string(1, LeadByte()) + kTrails[Below(sizeof kTrails - 1)];
        }
        if (roll < 47) return std::string(1, LeadByte());
        if (roll < 52) return std::string(1, '\0');
        if (roll < 85) return std::string(1, static_cast<char>('a' + Below(26)));
        return std::string(1, static_cast<char>(Below(256)));
    }

    std::mt19937& m_rng;
};

// The rule for the first field, stepping a whole character at a time the way the system
// does: a lead byte and whatever non-NUL byte follows it are one character, even when that
// byte is no valid trail byte (so a quote after a lead byte is no quote). The text ends at the
// first NUL or after size bytes; the field runs up to and including the quote of the first
// '",' that starts a character, or is all of it; one leading and one closing quote are
// dropped; and a longer address is cut after the last whole character that fits 1023 bytes.
// Left open, and so not compared: an address cut just after a quote (that quote would go if
// the cut came before the closing quote is dropped, as the order of the steps allows).
struct ModelAddress {
    std::string address;
    bool decided = true;
};

ModelAddress Model(const std::string& reply) {
    ModelAddress model;
    const std::string text = reply.substr(0, reply.find('\0'));
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        const bool pair = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    starts.push_back(text.size());

    std::size_t end = text.size();
    for (std::size_t s : starts)
        if (s + 1 < text.size() && text[s] == '"' && text[s + 1] == ',') {
            end = s + 1;
            break;
        }
    std::size_t begin = 0;
    if (begin < end && text[begin] == '"') ++begin;
    auto cut = [&](std::size_t last) {  // the end of the whole characters within 1023 bytes
        std::size_t kept = begin;
        for (std::size_t s : starts)
            if (s > begin && s <= last && s - begin <= kLimit) kept = s;
        return kept;
    };
    const std::size_t uncut = cut(end);
    if (end - begin > kLimit && uncut > begin && text[uncut - 1] == '"') model.decided = false;

    std::size_t lastStart = begin;
    for (std::size_t s : starts)
        if (s >= begin && s < end) lastStart = s;
    if (end > begin && lastStart + 1 == end && text[lastStart] == '"') end = lastStart;
    model.address = text.substr(begin, cut(end) - begin);
    return model;
}

TEST(FuzzPageAddressReply, RandomRepliesStayWithinTheirBuffersAndFollowTheRule) {
    GuardedMemory memory;
    ASSERT_TRUE(memory.IsReady());
    const bool cp932 = ::GetACP() == 932;
    PVOID handler = ::AddVectoredExceptionHandler(1, ReportCrash);
    std::mt19937 rng(kSeed);
    ReplyMaker maker(rng);
    CanaryBlock out;
    int compared = 0;
    const DWORD start = ::GetTickCount();
    for (int index = 0; index < kReplyCount; ++index) {
        g_currentReply = index;
        const std::string reply = maker.Reply();
        const BYTE* data = memory.PlaceAtEnd(reply);
        out.Reset();
        const bool parsed = ParsePageAddressReply(data, static_cast<DWORD>(reply.size()), out.Address());

        SCOPED_TRACE("reply " + std::to_string(index) + " of seed " + std::to_string(kSeed) +
                     ", " + std::to_string(reply.size()) + " bytes");
        ASSERT_TRUE(out.CanariesIntact());
        ASSERT_EQ(parsed, !reply.empty());
        if (!parsed) {
            ASSERT_TRUE(out.AddressUntouched());
            continue;
        }
        const char* address = out.Address();
        const void* terminator = std::memchr(address, '\0', kPageAddressSize);
        ASSERT_NE(terminator, nullptr) << "the address is not terminated";
        ASSERT_LE(static_cast<const char*>(terminator) - address, static_cast<std::ptrdiff_t>(kLimit));

        if (!cp932) continue;  // the model steps over CP932 characters
        const ModelAddress model = Model(reply);
        if (!model.decided) continue;
        ++compared;
        ASSERT_EQ(std::string(address), model.address);
    }
    g_currentReply = -1;
    ::RemoveVectoredExceptionHandler(handler);
    std::printf("[ fuzz     ] %d replies in %lu ms, %d compared with the model\n", kReplyCount,
                static_cast<unsigned long>(::GetTickCount() - start), compared);
    if (cp932) {
        EXPECT_GT(compared, kReplyCount / 2) << "the model decided too few replies";
    }
}

TEST(FuzzPageAddressReply, NothingIsReadAtTheGuardPage) {
    // The guard itself as an empty reply, and one byte before it without a terminator.
    GuardedMemory memory;
    ASSERT_TRUE(memory.IsReady());
    CanaryBlock out;
    out.Reset();
    EXPECT_FALSE(ParsePageAddressReply(memory.Guard(), 0, out.Address()));
    EXPECT_TRUE(out.AddressUntouched());
    const BYTE* last = memory.PlaceAtEnd(std::string(1, '"'));
    EXPECT_TRUE(ParsePageAddressReply(last, 1, out.Address()));
    EXPECT_STREQ(out.Address(), "");
    last = memory.PlaceAtEnd(std::string("\x81", 1));
    EXPECT_TRUE(ParsePageAddressReply(last, 1, out.Address()));
    EXPECT_STREQ(out.Address(), "\x81");
    EXPECT_TRUE(out.CanariesIntact());
}
}  // namespace
