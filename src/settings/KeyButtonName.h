#pragma once
// What the accessibility proxy tells of a key button. Its name is the button's window text,
// which a BS_ICON button never draws: the key's number and caption, or, without a caption,
// whether the key has a link. Its description is the link and the combination.
#include <string>

#include "keys/KeySet.h"

// "キー 1: メール", "キー 5: 設定済み", "キー 5: 未設定" (code page 932).
std::string KeyButtonName(const KeySet& keySet);
// The link, then the key's combination in words; either may be missing.
std::string KeyButtonDescription(const KeySet& keySet);
// What the key does, in one line: its first link and how many more ("C:\a.exe ほか 2 件"),
// or the text it types in quotes (line breaks and tabs as spaces); "" when it does nothing.
std::string KeyActionText(const KeySet& keySet);
// The name as a button's window text: each "&" doubled, so that a caption's ampersand is
// shown and read as itself and never becomes the button's access key.
std::string ButtonTextOf(const std::string& name);
