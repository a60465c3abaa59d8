#include "settings/KeyLabel.h"

#include <windows.h>

std::string KeyLabelText(const KeySet& keySet) {
    if (keySet.HasCaption()) return keySet.caption;
    char number[16] = {};
    ::wsprintfA(number, "%2d", keySet.number);
    return number;
}
