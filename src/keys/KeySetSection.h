#pragma once
// One key's section of the settings file, [KeySet<n>]: the record's values read from it and
// written into it. A key that uses only what keys always had (keycode, Caption, Link,
// Activate) is written exactly as before; each further value has a key of its own beside them:
// Arguments, StartIn, Show for the first link, Link2 ... Link10 with Arguments<n>, StartIn<n>,
// Show<n>, and Text. An older program reads the same section and opens the first link.
#include <string>

#include "keys/KeySet.h"
#include "win/ProfileFile.h"

// Fills the record's values from the section; the number is the caller's. The links are
// taken in the order of their numbers, a missing number skipped; when "Link" itself is
// missing the first one found is the first link (and is written back as "Link").
void ReadKeySetSection(const ProfileFile& file, const char* section, KeySet& record);
// Writes the record's values into the section, deleting the keys it no longer uses; false
// when a write failed.
bool WriteKeySetSection(const ProfileFile& file, const char* section, const KeySet& record);
// Writes one value, or deletes the key when the text is empty (only where the section has it).
bool WriteValue(const ProfileFile& file, const char* section, const std::string& key, const std::string& text);
// Whether every value the record writes is plain ASCII.
bool KeySetIsAscii(const KeySet& record);
