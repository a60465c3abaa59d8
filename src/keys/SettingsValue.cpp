#include "keys/SettingsValue.h"

#include <windows.h>

namespace {
// The lead bytes of code page 932's double-byte characters.
bool IsLeadByte(char c) noexcept {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsSpace(char c) noexcept { return c == ' ' || c == '\t'; }
}  // namespace

std::string ValueFromTypedText(const std::string& text) {
    std::string value;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (IsLeadByte(c) && at + 1 < text.size()) {
            value += c;
            value += text[++at];
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '\t') {
            value += "\\t";
        } else if (c == '\\') {
            value += "\\\\";
        } else if (c != '\r') {
            value += c;
        }
    }
    return value;
}

std::string TypedTextFromValue(const std::string& value) {
    std::string text;
    for (std::size_t at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if (IsLeadByte(c) && at + 1 < value.size()) {
            text += c;
            text += value[++at];
            continue;
        }
        const char next = at + 1 < value.size() ? value[at + 1] : '\0';
        if (c != '\\' || (next != 'n' && next != 't' && next != '\\')) {
            text += c;
            continue;
        }
        text += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        ++at;
    }
    return text;
}

std::string StoredValue(const std::string& value) {
    if (value.empty()) return value;
    const char first = value.front();
    const bool quoted = value.size() >= 2 && (first == '"' || first == '\'') && value.back() == first;
    // A single quote character alone is no pair: the read keeps it.
    if (quoted || IsSpace(first) || IsSpace(value.back())) return '"' + value + '"';
    return value;
}

const char* ShowValue(WindowShow show) noexcept {
    switch (show) {
        case WindowShow::Minimized: return "min";
        case WindowShow::Maximized: return "max";
        case WindowShow::Normal: break;
    }
    return "";
}

WindowShow ShowFromValue(const std::string& value) noexcept {
    if (::lstrcmpiA(value.c_str(), "min") == 0) return WindowShow::Minimized;
    if (::lstrcmpiA(value.c_str(), "max") == 0) return WindowShow::Maximized;
    return WindowShow::Normal;
}
