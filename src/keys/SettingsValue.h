#pragma once
// How the values of a key's section look in the file, beyond the plain texts of today.
#include <cstddef>
#include <string>

#include "keys/KeySet.h"

// Every value of the file holds at most this many bytes (the read buffer less its terminator).
constexpr std::size_t kMaxValueBytes = 1024;

// The typed text as its Text= value: a line break as \n, a tab as \t, a backslash as \\.
// Code page 932 aware: a trail byte 0x5C ("表", "ソ") is part of its character, no backslash.
std::string ValueFromTypedText(const std::string& text);
// And back. An escape the program does not know (\x) and a lone backslash at the end are read
// as they stand, so a value edited by hand loses nothing; written again they become \\x and \\.
std::string TypedTextFromValue(const std::string& value);

// The form a value is written in. The private-profile functions drop the spaces around a value
// and a pair of quotes around it ("C:\My Files\a.txt" as an argument would lose its quotes):
// such a value is written inside one more pair of double quotes, which the read takes off.
// Every other value is written as it is.
std::string StoredValue(const std::string& value);
// Whether the value, as written, fits the file's value size.
inline bool FitsInFile(const std::string& value) { return StoredValue(value).size() <= kMaxValueBytes; }

// Show=: "min", "max", or nothing for normal. Read case-insensitively; anything else is normal.
const char* ShowValue(WindowShow show) noexcept;
WindowShow ShowFromValue(const std::string& value) noexcept;
