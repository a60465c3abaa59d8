#include "settings/KeyButtonName.h"

#include "keys/KeyCombination.h"
#include "keys/KeyMatching.h"
#include "res/texts.h"
#include "win/TextFormat.h"

std::string KeyButtonName(const KeySet& keySet) {
    const char* state = keySet.HasLink() ? texts::kKeySet : texts::kKeyNotSet;
    return FillIn(texts::kKeyButtonNameFormat,
                  {std::to_string(keySet.number), keySet.HasCaption() ? keySet.caption : std::string(state)});
}

std::string KeyButtonDescription(const KeySet& keySet) {
    std::string description = keySet.HasLink() ? FillIn(texts::kKeyDescriptionLink, {keySet.link}) : std::string();
    if (const std::optional<KeyCode> code = EffectiveKeyCode(keySet)) {
        if (!description.empty()) description += texts::kKeyDescriptionSeparator;
        description += texts::kComboInTip + CombinationWords(*code);
    }
    return description;
}

std::string ButtonTextOf(const std::string& name) {
    std::string text;
    // Code page 932's trail bytes never take the value of "&" (0x26), so a byte-wise pass
    // cannot split a character.
    for (const char c : name) {
        text += c;
        if (c == '&') text += '&';
    }
    return text;
}
