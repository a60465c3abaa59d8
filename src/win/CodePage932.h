#pragma once
// The program's one character set, code page 932, on every system whatever its own ANSI code
// page: texts go to the system as wide strings converted from 932 by name, and come back
// through one checked conversion that either keeps every character or says which it cannot.
// A best-fit stand-in ("é" as "e", "¥" as "\") or a "?" would be a different, valid-looking
// name or address, so none is ever made.
#include <string>

constexpr unsigned kCodePage932 = 932;

// CP932 bytes as the system's wide string.
std::wstring WideFromCp932(const std::string& text);

struct Cp932Text {
    std::string text;   // the CP932 bytes of every character that converts exactly
    std::wstring lost;  // the characters code page 932 cannot hold, each once, in order
    bool Exact() const noexcept { return lost.empty(); }
};

// Wide text as CP932, character by character, without best fit.
Cp932Text Cp932FromWide(const std::wstring& wide);

// A path as CP932 that names the same file or folder: itself when it converts exactly, else
// its short (8.3) form when that does (an existing path only); otherwise not exact, and lost
// names what the path's own form cannot hold.
Cp932Text Cp932PathOf(const std::wstring& path);

// WC_NO_BEST_FIT_CHARS for every code page that takes it; UTF-8, UTF-7 and a few others take
// no flags (and make no best fit).
unsigned long NoBestFitFlags(unsigned codePage);

inline bool IsHighSurrogate(wchar_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }
