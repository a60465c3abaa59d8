#include "settings/KeyButtonName.h"

#include <algorithm>

#include "keys/KeyCombination.h"
#include "keys/KeyMatching.h"
#include "res/texts.h"
#include "win/TextFormat.h"
#include "win/UiLanguage.h"

std::string KeyActionText(const KeySet& keySet) {
    if (keySet.HasLink()) {
        const std::size_t more = keySet.moreLinks.size();
        return more == 0 ? keySet.link : FillIn(UiText(IDS_MORE_LINKS), {keySet.link, std::to_string(more)});
    }
    if (!keySet.TypesText()) return {};
    std::string oneLine = keySet.text;
    // Code page 932's trail bytes are never a line break or a tab.
    std::replace_if(oneLine.begin(), oneLine.end(), [](char c) { return c == '\n' || c == '\t'; }, ' ');
    return FillIn(UiText(IDS_TYPED_TEXT_SHOWN), {oneLine});
}

std::string KeyButtonName(const KeySet& keySet) {
    const char* state = UiText(keySet.HasLink() || keySet.TypesText() ? IDS_KEY_STATE_SET : IDS_KEY_STATE_NOT_SET);
    return FillIn(UiText(IDS_KEY_BUTTON_NAME),
                  {std::to_string(keySet.number), keySet.HasCaption() ? keySet.caption : std::string(state)});
}

std::string KeyButtonDescription(const KeySet& keySet) {
    const std::string action = KeyActionText(keySet);
    std::string description;
    if (!action.empty())
        description = FillIn(UiText(keySet.HasLink() ? IDS_KEY_DESCRIPTION_LINK : IDS_KEY_DESCRIPTION_TEXT), {action});
    if (const std::optional<KeyCode> code = EffectiveKeyCode(keySet)) {
        if (!description.empty()) description += UiText(IDS_KEY_DESCRIPTION_SEPARATOR);
        description += UiText(IDS_COMBO_IN_TIP) + CombinationWords(*code);
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
