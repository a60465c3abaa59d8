#pragma once
// The fields that go with a link in the link dialog and in the further-link dialog, which
// share their ids: the arguments (greyed for a web address or a document, which take none),
// the start folder with its browse button, and the window state.
#include <windows.h>

#include <optional>
#include <string>

#include "keys/KeySet.h"

namespace LinkStartFields {
// Fills the fields from the start and the drop-down list with the three window states.
void Show(HWND dialog, const LinkStart& start);
// After every change of the link's text: the arguments only for what takes them.
void OnLinkChanged(HWND dialog);
// The start folder's browse button.
void BrowseFolder(HWND dialog);
// The fields as they can be stored, or nothing after a box that said why not (a character
// code page 932 cannot hold, a value too long).
std::optional<LinkStart> Read(HWND dialog);
// The show states in the drop-down list's order.
WindowShow ShowOfItem(LRESULT item) noexcept;
}  // namespace LinkStartFields
