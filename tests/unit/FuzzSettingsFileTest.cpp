// A thousand hostile settings files through the real private-profile functions: each must
// load as thirty sane records, and a save must leave everything but its own thirty sections
// as it was.
//
// Which sections a save owns. The private-profile functions match section names without
// regard to case ([keyset3] is KeySet3), and every call works on the first section of the
// file that matches: a read looks in that one alone (even for a key it lacks, a later
// [KeySet3] is not consulted), a write changes it and a deletion removes it alone. So the save
// owns, for each of KeySet1 to KeySet30, the first section whose name matches it without
// regard to case, or the section it appends when none matches. A later section of the same
// name belongs to somebody else: it survives the save untouched, even when the save deleted
// the one before it (the next load then reads it).
//
// Comparing the rest. The functions do not keep a file's bytes: their first write re-creates
// the whole file from what they parsed (lines trimmed, CR LF after every line, the rest of a
// line after a NUL dropped, bytes that are no CP932 character replaced). So the saved file and
// an untouched copy of the original are both written once more by the functions (a throw-away
// section is added at the end and cut off again from the text), and the two texts are
// compared byte for byte, less the owned sections. Within an owned section that the save
// keeps, every line other than the keycode, Caption and Link it wrote must be kept too.
//
// The files are made from a fixed seed, so every run tries the same ones; a failure names the
// file's number. Not made: files that begin with a UTF-16 byte-order mark (the functions then
// read UTF-16, which this text comparison does not split), and sections with an empty name
// ("[]"), which the functions write back without a header line, so that their keys would read
// as the section before them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "keys/SettingsFile.h"

namespace {
constexpr std::uint32_t kSeed = 0x566F726Cu;
constexpr int kFileCount = 1000;
constexpr std::size_t kTextLimit = SettingsFile::kTextSize - 1;  // 1024 bytes
constexpr char kProbeSection[] = "FuzzProbeSection";

// A crash gives no test output; this says which file caused it.
volatile LONG g_currentFile = -1;
LONG CALLBACK ReportCrash(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW)
        std::fprintf(stderr, "crash 0x%08lX while fuzzing settings file %ld\n",
                     static_cast<unsigned long>(code), static_cast<long>(g_currentFile));
    return EXCEPTION_CONTINUE_SEARCH;
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string OwnedName(int number) { return "KeySet" + std::to_string(number); }

// ---------------------------------------------------------------------------------------
// Making the files.

// Text of whole CP932 characters that every save writes back as it is; several end in 0x5C.
const char* const kWords[] = {"メモ", "ソ", "表", "能", "予定", "十", "構", "申", "設定",
                              "ﾊﾝｶｸ", "日本語", "ー", "・", "C:\\", "Tools", "http://x.jp/",
                              "a b", "=", "[", "]", ";", "\"", "'", "#", "%d", "\\\\"};

class FileMaker {
public:
    explicit FileMaker(std::mt19937& rng) : m_rng(rng) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int percent) { return Below(100) < percent; }
    char AnyByte() { return static_cast<char>(Below(256)); }

    // Text a save writes back unchanged: no spaces at either end, not enclosed in quotes.
    std::string CleanText(std::size_t maxBytes) {
        std::string text;
        const int pieces = 1 + Below(12);
        for (int i = 0; i < pieces; ++i) {
            const std::string piece = Chance(50) ? kWords[Below(std::size(kWords))]
                                                 : std::string(1, static_cast<char>('a' + Below(26)));
            if (text.size() + piece.size() > maxBytes) break;
            text += piece;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        while (!text.empty() && text.front() == ' ') text.erase(0, 1);
        if (text.empty() || (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') &&
                             text.back() == text[0]))
            text = "v" + text.substr(0, maxBytes - 1);
        return text;
    }

    // Bytes that are no CP932 character: a lead byte before an invalid trail byte or at the
    // end of the line, and the single bytes that map to nothing.
    std::string InvalidCp932() {
        static const char kLeads[] = "\x81\x9F\xE0\xEF\xFC\x85";
        static const char kBadTrails[] = "\x01\x22\x2C\x3D\x5D\x7F\xFD\xFF";
        const char lead = kLeads[Below(sizeof kLeads - 1)];
        switch (Below(4)) {
        case 0: return std::string(1, lead);  // the line ends right after it
        case 1: return std::string(1, lead) + kBadTrails[Below(sizeof kBadTrails - 1)];
        case 2: return std::string(1, "\x80\xA0\xFD\xFE\xFF"[Below(5)]);
        default: return CleanText(20) + std::string(1, lead);
        }
    }

    std::string Junk(int maxLength) {
        std::string junk(static_cast<std::size_t>(Below(maxLength + 1)), '\0');
        for (char& c : junk) c = AnyByte();
        return junk;
    }

    std::string LineEnd() {
        const int roll = Below(100);
        if (roll < 80) return "\r\n";
        if (roll < 90) return "\n";
        if (roll < 95) return "\r";
        return "";  // runs into the next line
    }

    std::string Blanks() {
        static const char* const kBlanks[] = {" ", "  ", "\t", " \t ", "\x1a"};
        return Chance(85) ? "" : kBlanks[Below(std::size(kBlanks))];
    }

    std::string OwnedSpelling(int number) {
        std::string name = OwnedName(number);
        const int roll = Below(10);
        if (roll == 0) {
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (roll == 1) {
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else if (roll == 2) {
            for (char& c : name)
                if (Chance(50)) c = static_cast<char>(c ^ (std::isalpha(static_cast<unsigned char>(c)) ? 0x20 : 0));
        }
        return name;
    }

    std::string Header() {
        const int roll = Below(100);
        if (roll < 45) {
            std::string header = "[" + Blanks() + OwnedSpelling(1 + Below(30)) + Blanks() + "]";
            if (Chance(10)) header += CleanText(10);  // ignored after the bracket
            return header;
        }
        if (roll < 70) {
            static const char* const kNearMisses[] = {
                "[KeySet0]", "[KeySet31]", "[KeySet03]", "[KeySet-3]", "[KeySet 3]", "[KeySet3x]",
                "[xKeySet3]", "[KeySet]", "[KeySet３]", "[KeySet4294967299]", "[KeySet3",
                "KeySet3]", "[[KeySet3]]", "[KeySet3]]", "[　KeySet3]", "[KeySet+3]", "[KeySet1.0]"};
            return kNearMisses[Below(std::size(kNearMisses))];
        }
        return "[" + Blanks() + ForeignName() + Blanks() + "]";
    }

    std::string ForeignName() {
        static const char* const kNames[] = {"General", "Window", "設定", "Key Set", "KeySets",
                                             "履歴", "Set1", "KeySetX"};
        std::string name = kNames[Below(std::size(kNames))];
        if (Chance(50)) name += std::to_string(Below(1000));
        return name;
    }

    std::string Value() {
        switch (Below(10)) {
        case 0: return "";
        case 1: return "\"" + CleanText(60) + "\"";
        case 2: return InvalidCp932();
        case 3: {  // around the 1024-byte cut, with double-byte characters across it
            std::string text;
            const std::size_t length = 1000 + static_cast<std::size_t>(Below(120));
            while (text.size() < length) text += Chance(60) ? "表" : "a";
            return text;
        }
        case 4: return CleanText(20) + std::string(1, '\0') + CleanText(20);
        case 5: return Blanks() + " " + CleanText(30) + " " + Blanks();
        case 6: {
            static const char* const kNumbers[] = {"112", "-5", "0", "0x41", "99999999999",
                                                   "  7", "12abc", "196673", "-2147483648",
                                                   "2147483647", "4294967295", "+3", "'9'"};
            return kNumbers[Below(std::size(kNumbers))];
        }
        case 7: return "　" + CleanText(20) + "　";  // ideographic spaces
        default: return CleanText(200);
        }
    }

    std::string KeyLine() {
        const int roll = Below(100);
        if (roll < 50) {
            static const char* const kOurKeys[] = {"keycode", "Caption", "Link", "KEYCODE",
                                                   "caption", "LINK", "KeyCode", "link"};
            return Blanks() + kOurKeys[Below(std::size(kOurKeys))] + Blanks() + "=" + Blanks() +
                   Value();
        }
        if (roll < 70) return ForeignName() + "=" + Value();
        if (roll < 80) return (Chance(50) ? ";" : "#") + CleanText(40);
        if (roll < 90) return Chance(50) ? CleanText(40) : "Link";  // no '='
        return Junk(80);
    }

    // An INI-like file with junk mixed in.
    std::string IniText(int maxLines) {
        std::string text;
        const int lines = Below(maxLines + 1);
        for (int i = 0; i < lines; ++i) {
            const int roll = Below(100);
            if (roll < 25) text += Header();
            else if (roll < 85) text += KeyLine();
            else if (roll < 95) text += Junk(120);
            text += LineEnd();
        }
        return text;
    }

    std::string OneMegabyteLine() {
        const std::size_t size = 1 << 20;
        std::string line;
        switch (Below(4)) {
        case 0: line = "Link="; break;
        case 1: line = "Caption=\""; break;
        case 2: line = "[" + ForeignName(); break;
        default: break;
        }
        while (line.size() < size) line += Chance(3) ? InvalidCp932() : CleanText(64);
        if (line[0] == '[') line += "]";
        return IniText(20) + "[" + OwnedSpelling(1 + Below(30)) + "]\r\n" + line + "\r\n" +
               IniText(20);
    }

    std::string ManySections(int count) {
        std::string text;
        text.reserve(static_cast<std::size_t>(count) * 24);
        for (int i = 0; i < count; ++i) {
            if (Below(count / 20) == 0) {
                text += Header() + "\r\n" + KeyLine() + "\r\n";
            } else {
                text += "[Other" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
            }
        }
        return text;
    }

    std::string TenMegabytes() {
        std::string text = IniText(40);
        while (text.size() < 10u << 20) {
            if (Below(1000) == 0) text += IniText(10);
            text += "[Bulk" + std::to_string(text.size()) + "]\r\ndata=";
            for (int i = 0; i < 1000; ++i) text += static_cast<char>('a' + Below(26));
            text += "\r\n";
        }
        return text;
    }

    // The few files that take long: every write of theirs re-creates megabytes.
    static bool IsLarge(int index) {
        return index == 7 || index == 257 || index == 333 || index == 500 || index == 757;
    }

    std::string File(int index) {
        std::string text;
        if (index == 333) text = TenMegabytes();
        else if (index == 500) text = ManySections(100000);
        else if (IsLarge(index)) text = OneMegabyteLine();
        else if (index % 10 == 3) text = Junk(65536);
        else if (index % 50 == 11) text = "\xEF\xBB\xBF" + IniText(60);  // UTF-8 with its mark
        else text = IniText(60);
        if (text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                 (text[0] == '\xFE' && text[1] == '\xFF')))
            text[0] = 'x';  // no UTF-16 byte-order mark, see the top of the file
        return text;
    }

private:
    std::mt19937& m_rng;
};

// ---------------------------------------------------------------------------------------
// Reading the file as the private-profile functions wrote it.

// One section of the text: its header line (none for the lines before the first header) and
// its lines, each with its line end.
struct Block {
    std::string name;
    std::vector<std::string> lines;  // the header line first, when there is one
    bool hasHeader = false;

    std::string Text() const {
        std::string text;
        for (const std::string& line : lines) text += line;
        return text;
    }
    std::vector<std::string> Body() const {
        return {lines.begin() + (hasHeader ? 1 : 0), lines.end()};
    }
};

struct ParsedIni {
    bool utf8 = false;
    std::vector<Block> blocks;  // blocks[0] is the part before the first header
};

std::string WithoutLineEnd(const std::string& line) {
    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r')) --end;
    return line.substr(0, end);
}

// The name of a section header: the line starts with '[' and a later ']' that is a whole
// character ends the name (the last one, as the functions read it).
std::optional<std::string> HeaderName(const std::string& line, bool utf8) {
    if (line.empty() || line[0] != '[') return std::nullopt;
    std::size_t close = std::string::npos;
    for (std::size_t i = 1; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ']') close = i;
        i += (!utf8 && IsLeadByte(c) && i + 1 < line.size()) ? 2 : 1;
    }
    if (close == std::string::npos) return std::nullopt;
    return line.substr(1, close - 1);
}

ParsedIni Split(std::string text) {
    ParsedIni ini;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.utf8 = true;
        text.erase(0, 3);
    }
    ini.blocks.emplace_back();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        if (auto name = HeaderName(WithoutLineEnd(line), ini.utf8)) {
            Block block;
            block.name = *name;
            block.hasHeader = true;
            block.lines.push_back(std::move(line));
            ini.blocks.push_back(std::move(block));
        } else {
            ini.blocks.back().lines.push_back(std::move(line));
        }
    }
    return ini;
}

// The first section that the functions take for KeySet<number>, or none.
std::optional<std::size_t> FirstMatch(const ParsedIni& ini, int number) {
    const std::string wanted = OwnedName(number);
    for (std::size_t i = 1; i < ini.blocks.size(); ++i)
        if (EqualsIgnoringAsciiCase(ini.blocks[i].name, wanted)) return i;
    return std::nullopt;
}

std::string KeyName(const std::string& line) {
    const std::string text = WithoutLineEnd(line);
    return text.substr(0, text.find('='));
}

std::optional<std::string> KeyValue(const std::string& line) {
    const std::string text = WithoutLineEnd(line);
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return text.substr(equals + 1);
}

// The index in the body of the first line of that key, or none.
std::optional<std::size_t> FirstKey(const std::vector<std::string>& body, const char* key) {
    for (std::size_t i = 0; i < body.size(); ++i)
        if (EqualsIgnoringAsciiCase(KeyName(body[i]), key)) return i;
    return std::nullopt;
}

// What GetPrivateProfileStringA with a 1025-byte buffer gives for a value of the file: one
// pair of enclosing quotes dropped, at most 1024 UTF-16 units, then the CP932 text cut to
// 1024 bytes between characters.
std::string AsRead(const std::string& value, bool utf8) {
    std::wstring wide;
    if (!value.empty()) {
        const UINT codePage = utf8 ? CP_UTF8 : 932;
        const int length = ::MultiByteToWideChar(codePage, 0, value.data(),
                                                 static_cast<int>(value.size()), nullptr, 0);
        wide.resize(static_cast<std::size_t>(length));
        ::MultiByteToWideChar(codePage, 0, value.data(), static_cast<int>(value.size()),
                              wide.data(), length);
    }
    bool quoted = false;
    if (wide.size() >= 2 && (wide[0] == L'"' || wide[0] == L'\'') && wide.back() == wide[0]) {
        quoted = true;
        wide.erase(0, 1);
    }
    std::wstring read = wide.substr(0, kTextLimit);
    if (quoted && wide.size() <= kTextLimit + 1 && !read.empty()) read.pop_back();
    std::string ansi;
    for (wchar_t c : read) {
        char bytes[4] = {};
        const int length = ::WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
        if (ansi.size() + static_cast<std::size_t>(length) > kTextLimit) break;
        ansi.append(bytes, static_cast<std::size_t>(length));
    }
    return ansi;
}

// What a load must give for one record, by the text: caption and link always; the key code
// only when it is a plain decimal number (or absent).
struct ExpectedRecord {
    std::string caption;
    std::string link;
    std::optional<int> keycode;
};

ExpectedRecord ExpectedLoad(const ParsedIni& ini, int number) {
    ExpectedRecord expected;
    expected.keycode = 0;
    const auto index = FirstMatch(ini, number);
    if (!index) return expected;
    const std::vector<std::string> body = ini.blocks[*index].Body();
    auto read = [&](const char* key) {
        const auto at = FirstKey(body, key);
        const auto value = at ? KeyValue(body[*at]) : std::nullopt;
        return value ? AsRead(*value, ini.utf8) : std::string();
    };
    expected.caption = read("Caption");
    expected.link = read("Link");
    const std::string code = read("keycode");
    const std::size_t digits = code.find_first_not_of("0123456789", code[0] == '-' ? 1 : 0);
    const bool plain = digits == std::string::npos && code.size() > (code[0] == '-' ? 1u : 0u) &&
                       code.size() <= 9;
    expected.keycode = code.empty() ? std::optional<int>(0)
                       : plain     ? std::optional<int>(std::stoi(code))
                                   : std::nullopt;
    return expected;
}

// A value as the functions store it when it is written: leading blanks dropped (the
// ideographic space is no blank to them).
std::string AsWritten(std::string text) {
    while (!text.empty() && (text[0] == ' ' || (text[0] >= '\t' && text[0] <= '\r') ||
                             text[0] == '\x1a'))
        text.erase(0, 1);
    return text;
}

// CP932 text as the functions write it into a file: UTF-8 when the file has the UTF-8 mark.
std::string InFile(const std::string& text, bool utf8) {
    if (!utf8 || text.empty()) return text;
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        932, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(
        CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
        static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// The text of a file as the functions write it, without the throw-away section that made
// them write it. They read the file again after each of their writes, and that second reading
// can still change the text (blanks that were before a NUL are now at the end of a line and
// trimmed, lines left empty dropped), so the file is written until its text stays the same.
struct Rewritten {
    ParsedIni first;    // after one write: what a load of the file as it was reads
    ParsedIni settled;  // after the text stopped changing
};

std::optional<Rewritten> Rewrite(const std::string& path) {
    Rewritten rewritten;
    std::string previous;
    for (int round = 0; round < 4; ++round) {
        const std::string value = round % 2 ? "w" : "v";
        if (!::WritePrivateProfileStringA(kProbeSection, "k", value.c_str(), path.c_str()))
            return std::nullopt;
        auto bytes = ReadFileBytes(path);
        const std::string probe = std::string("[") + kProbeSection + "]\r\nk=" + value + "\r\n";
        if (!bytes || bytes->size() < probe.size() ||
            bytes->compare(bytes->size() - probe.size(), probe.size(), probe) != 0)
            return std::nullopt;
        bytes->resize(bytes->size() - probe.size());
        if (round == 0) rewritten.first = Split(*bytes);
        if (round > 0 && *bytes == previous) {
            rewritten.settled = Split(*bytes);
            return rewritten;
        }
        previous = std::move(*bytes);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// The checks.

void ExpectSaneLoad(const KeySetTable& table, const ParsedIni& text, const char* when) {
    ASSERT_EQ(table.Count(), 30u) << when;
    for (std::size_t p = 0; p < table.Count(); ++p) {
        const KeySet& record = table.At(p);
        const int number = static_cast<int>(p) + 1;
        SCOPED_TRACE(std::string(when) + ", record " + std::to_string(number));
        ASSERT_EQ(record.number, number);
        EXPECT_LE(record.caption.size(), kTextLimit);
        EXPECT_LE(record.link.size(), kTextLimit);
        EXPECT_EQ(record.caption.find('\0'), std::string::npos);
        EXPECT_EQ(record.link.find('\0'), std::string::npos);
        const ExpectedRecord expected = ExpectedLoad(text, number);
        EXPECT_EQ(record.caption, expected.caption);
        EXPECT_EQ(record.link, expected.link);
        if (expected.keycode) {
            EXPECT_EQ(record.keycode, *expected.keycode);
        }
    }
}

// Everything but the owned sections, in file order, each section whole.
std::vector<std::string> Rest(const ParsedIni& ini, const std::vector<std::optional<std::size_t>>& owned) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < ini.blocks.size(); ++i) {
        bool isOwned = false;
        for (const auto& index : owned) isOwned |= index && *index == i;
        if (!isOwned) rest.push_back(ini.blocks[i].Text());
    }
    return rest;
}

std::string Excerpt(const std::string& text) {
    std::string shown;
    for (unsigned char c : text.substr(0, 160)) {
        char hex[8];
        if (c >= 0x20 && c < 0x7F) shown += static_cast<char>(c);
        else { std::snprintf(hex, sizeof hex, "<%02X>", c); shown += hex; }
    }
    return shown + (text.size() > 160 ? "..." : "");
}

void ExpectSameRest(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    const std::size_t common = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (before[i] != after[i]) {
            ADD_FAILURE() << "section " << i << " of the rest differs:\n  before: "
                          << Excerpt(before[i]) << "\n  after:  " << Excerpt(after[i]);
            return;
        }
    }
    EXPECT_EQ(before.size(), after.size()) << "sections outside the owned ones";
}

// An owned section the save kept: the lines of its three keys are the record's, everything
// else in it is as it was. For a key the record lacks, the first line of that key goes when it
// has a value; a line without '=' reads as no value and may stay.
void ExpectKeptSection(const Block& before, const Block& after, const KeySet& record, bool utf8) {
    const std::string code = record.keycode > 0 ? std::to_string(record.keycode) : "";
    const struct {
        const char* key;
        const std::string& value;
    } fields[] = {{"keycode", code}, {"Caption", record.caption}, {"Link", record.link}};
    std::vector<std::string> others = before.Body();
    std::vector<std::string> kept = after.Body();
    for (const auto& field : fields) {
        const auto old = FirstKey(others, field.key);
        if (old && (!field.value.empty() || KeyValue(others[*old])))
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(*old));
        if (field.value.empty()) continue;
        const auto now = FirstKey(kept, field.key);
        if (!now) {
            ADD_FAILURE() << field.key << " was not written";
            continue;
        }
        EXPECT_EQ(KeyValue(kept[*now]).value_or("<no value>"), InFile(AsWritten(field.value), utf8))
            << field.key;
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(*now));
    }
    EXPECT_EQ(kept, others) << "the other lines of an owned section";
}

// Changes a few records the way the dialogs do, and sometimes the key code.
void Edit(KeySetTable& table, FileMaker& maker, int maxEdits) {
    const int edits = maker.Below(maxEdits + 1);
    for (int i = 0; i < edits; ++i) {
        KeySet& record = table.At(static_cast<std::size_t>(maker.Below(30)));
        switch (maker.Below(5)) {
        case 0: record.ReplaceCaption(maker.Chance(20) ? "" : maker.CleanText(32).c_str()); break;
        case 1: record.ReplaceLink(maker.Chance(20) ? "" : maker.CleanText(kTextLimit).c_str()); break;
        case 2: {
            static const int kCodes[] = {0, -1, -100000, 1, 0x00030041, 0x7FFFFFFF, 112};
            record.keycode = kCodes[maker.Below(std::size(kCodes))];
            break;
        }
        case 3: record = KeySet{record.number}; break;
        default: record.ReplaceLink(maker.CleanText(300).c_str()); break;
        }
    }
}

void FuzzOneFile(int index, FileMaker& maker) {
    const std::string bytes = maker.File(index);
    ScratchDirectory dir("fuzz-ini");
    const std::string saved = dir.File("Vorlund.ini");
    const std::string untouched = dir.File("Untouched.ini");
    ASSERT_TRUE(WriteFileBytes(saved, bytes));
    ASSERT_TRUE(WriteFileBytes(untouched, bytes));

    const std::string dirPath = dir.WithSlash();
    const SettingsFile file(dirPath.c_str());
    KeySetTable table;
    file.Load(table);

    const auto untouchedText = Rewrite(untouched);
    ASSERT_TRUE(untouchedText) << "the untouched copy could not be rewritten";
    ExpectSaneLoad(table, untouchedText->first, "first load");
    const ParsedIni* before = &untouchedText->settled;
    if (::testing::Test::HasFatalFailure()) return;

    // Every write re-creates the whole file: the large ones get few edits.
    Edit(table, maker, bytes.size() > 2000000 ? 0 : bytes.size() > 500000 ? 2 : 8);
    EXPECT_TRUE(file.Save(table));
    const auto savedText = Rewrite(saved);
    ASSERT_TRUE(savedText) << "the saved file could not be rewritten";
    const ParsedIni* after = &savedText->settled;

    std::vector<std::optional<std::size_t>> ownedBefore, ownedAfter;
    for (int number = 1; number <= 30; ++number) {
        const KeySet& record = table.At(static_cast<std::size_t>(number) - 1);
        const bool written = record.keycode > 0 || record.HasCaption() || record.HasLink();
        ownedBefore.push_back(FirstMatch(*before, number));
        ownedAfter.push_back(written ? FirstMatch(*after, number) : std::nullopt);
        if (written && !ownedAfter.back()) {
            ADD_FAILURE() << "no section for record " << number << " after the save";
            return;
        }
        if (written && ownedBefore.back()) {
            SCOPED_TRACE("owned section of record " + std::to_string(number));
            ExpectKeptSection(before->blocks[*ownedBefore.back()],
                              after->blocks[*ownedAfter.back()], record, after->utf8);
        }
    }
    ExpectSameRest(Rest(*before, ownedBefore), Rest(*after, ownedAfter));

    // A load reads some ninety values; one file in eight is loaded again, to keep the run short.
    if (index % 8 == 0 || FileMaker::IsLarge(index)) {
        KeySetTable reloaded;
        file.Load(reloaded);
        ExpectSaneLoad(reloaded, *after, "load after the save");
    }
}

TEST(FuzzSettingsFile, ThousandHostileFilesLoadSanelyAndSavesKeepForeignText) {
    PVOID handler = ::AddVectoredExceptionHandler(1, ReportCrash);
    std::mt19937 rng(kSeed);
    FileMaker maker(rng);
    const DWORD start = ::GetTickCount();
    for (int index = 0; index < kFileCount; ++index) {
        g_currentFile = index;
        SCOPED_TRACE("settings file " + std::to_string(index) + " of seed " + std::to_string(kSeed));
        FuzzOneFile(index, maker);
        if (::testing::Test::HasFailure()) break;  // the first bad file is the one to look at
    }
    g_currentFile = -1;
    ::RemoveVectoredExceptionHandler(handler);
    std::printf("[ fuzz     ] %d settings files in %lu ms\n", kFileCount,
                static_cast<unsigned long>(::GetTickCount() - start));
}
TEST(FuzzSettingsFile, ALaterSectionOfTheSameNameKeepsItsKeys) {
    // Found by the fuzzing above: deleting a key that [KeySet5] lacks deleted it from the
    // [keyset5] further down.
    ScratchDirectory dir("dup-section");
    const std::string path = dir.File("Vorlund.ini");
    ASSERT_TRUE(WriteFileBytes(path, "[KeySet5]\r\nLink=mine\r\nCaption\r\n[Other]\r\nx=1\r\n"
                                     "[keyset5]\r\nkeycode=7\r\nCaption=theirs\r\nLink=theirs\r\n"));
    const std::string dirPath = dir.WithSlash();
    const SettingsFile file(dirPath.c_str());
    KeySetTable table;
    file.Load(table);
    EXPECT_EQ(table.At(4).keycode, 0) << "a later section is never read";
    EXPECT_FALSE(table.At(4).HasCaption());
    table.At(4).ReplaceLink("C:\\new.txt");
    ASSERT_TRUE(file.Save(table));
    EXPECT_EQ(ReadFileBytes(path).value_or(""),
              "[KeySet5]\r\nLink=C:\\new.txt\r\nCaption\r\n[Other]\r\nx=1\r\n"
              "[keyset5]\r\nkeycode=7\r\nCaption=theirs\r\nLink=theirs\r\n");
}
}  // namespace
