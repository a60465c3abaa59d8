#pragma once
// Filling our own texts without printf: the C library's printf brings its floating-point
// formatting into the program for a few words and numbers.
#include <windows.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "win/CodePage932.h"

// The text with each "%s" or "%d", in order, replaced by the next value.
inline std::string FillIn(const char* format, std::initializer_list<std::string> values) {
    std::string text;
    const std::string* value = values.begin();
    for (const char* at = format; *at; ++at) {
        if (at[0] == '%' && (at[1] == 's' || at[1] == 'd') && value != values.end()) {
            text += *value++;
            ++at;
        } else {
            text += *at;
        }
    }
    return text;
}

// The same for a text shown through the wide calls: the format is the program's CP932, the
// values wide, so that a name code page 932 cannot hold is shown as it is.
inline std::wstring FillInWide(const char* format, std::initializer_list<std::wstring> values) {
    std::wstring text;
    std::string piece;
    const std::wstring* value = values.begin();
    for (const char* at = format; *at; ++at) {
        if (at[0] == '%' && (at[1] == 's' || at[1] == 'd') && value != values.end()) {
            text += WideFromCp932(piece) + *value++;
            piece.clear();
            ++at;
        } else {
            piece += *at;
        }
    }
    return text + WideFromCp932(piece);
}

// The value in upper-case hexadecimal, at least the given number of digits.
inline std::string Hex(ULONG_PTR value, int digits = 1) {
    std::string text;
    do {
        text.insert(text.begin(), "0123456789ABCDEF"[value & 0xF]);
        value >>= 4;
    } while (value != 0 || static_cast<int>(text.size()) < digits);
    return text;
}
