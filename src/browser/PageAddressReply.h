#pragma once
// Reading the browser's answer to the page-address request. The answer is CF_TEXT in the
// ANSI code page: comma-separated fields, each in double quotes, the first being the address
// of the page the browser shows. Kept apart from the DDE conversation so that any byte
// string can be tried on it.
#include <windows.h>

#include <cstddef>

// The caller's address buffer and the address field: 1023 characters and the terminator.
constexpr std::size_t kPageAddressSize = 1024;

// Puts the first field of the reply, without one enclosing double quote on either side,
// into address. The reply is size bytes at data and need not be terminated: it ends at its
// first NUL or after size bytes. A first field too long for the buffer is cut at the last
// whole character that fits, and *whole (when given) says whether it was: a cut address
// opens another page, so a caller that would store it refuses it instead.
// Returns false, leaving address untouched, when there is nothing to read (no data, size 0)
// or no memory for the working copy.
bool ParsePageAddressReply(const BYTE* data, DWORD size, char (&address)[kPageAddressSize],
                           bool* whole = nullptr) noexcept;
