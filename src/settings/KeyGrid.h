#pragma once
// The key buttons as they are drawn: six columns, five rows, key 1 at the top left. The arrow
// keys walk them as a grid, whatever order the windows were created in.
#include <windows.h>

constexpr int kKeyGridColumns = 6;
constexpr int kKeyGridRows = 5;

// The index the key moves the focus to from the key at this index: Left and Right along the
// row, Up and Down to the key above or below, Home and End to the row's ends; at an edge the
// focus stays. -1 for any other key.
constexpr int KeyInDirection(int index, WPARAM virtualKey) noexcept {
    const int column = index % kKeyGridColumns;
    const int row = index / kKeyGridColumns;
    switch (virtualKey) {
        case VK_LEFT: return column > 0 ? index - 1 : index;
        case VK_RIGHT: return column < kKeyGridColumns - 1 ? index + 1 : index;
        case VK_UP: return row > 0 ? index - kKeyGridColumns : index;
        case VK_DOWN: return row < kKeyGridRows - 1 ? index + kKeyGridColumns : index;
        case VK_HOME: return row * kKeyGridColumns;
        case VK_END: return row * kKeyGridColumns + kKeyGridColumns - 1;
        default: return -1;
    }
}
