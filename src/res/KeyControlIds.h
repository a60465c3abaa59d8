#pragma once
// The control and command ids of the settings dialog's thirty keys, computed in one place
// from resource.h. Other programs name the label ids in WM_APP_EDIT_CAPTION.
#include "res/resource.h"

// The button of the key with this index (0..29): 1000..1029.
constexpr int KeyButtonId(int index) noexcept { return IDC_KEY_FIRST + index; }

// The caption label of the key with this index: 1069 for key 1, 1071..1099 for keys 2..30
// (1070 is the caption dialog's edit).
constexpr int KeyLabelId(int index) noexcept {
    return index == 0 ? IDC_LABEL_KEY1 : IDC_LABEL_KEY1 + 1 + index;
}

// Commands 1000..1063 open the link dialog of key (id - 1000): every id from the first key
// button up to the one before the list button (1064). Only 1000..1029 are buttons; the rest
// can come only from another program, name no key of the table, and change nothing.
constexpr int kFirstKeyCommand = IDC_KEY_FIRST;
constexpr int kLastKeyCommand = IDC_LIST_BUTTON - 1;

// The key index a key command names (it may lie past the table).
constexpr int KeyIndexOfCommand(int id) noexcept { return id - kFirstKeyCommand; }
