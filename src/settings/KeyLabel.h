#pragma once
// The text of a key's caption label, shared by the settings dialog and its caption editing.
#include <string>

#include "keys/KeySet.h"

// The key's caption; a key without one shows its number right-aligned in two characters
// (" 7", "12"), so that the grid of labels never has a blank cell.
std::string KeyLabelText(const KeySet& keySet);
