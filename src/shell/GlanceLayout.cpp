#include "shell/GlanceLayout.h"

#include <algorithm>

#include "keys/KeyCombination.h"
#include "keys/KeyMatching.h"
#include "res/texts.h"
#include "settings/KeyButtonName.h"
#include "win/CodePage932.h"
#include "win/TextFormat.h"
#include "win/UiLanguage.h"

namespace {
// Sizes at 100 %, in pixels.
constexpr int kMargin = 12;
constexpr int kGap = 6;
constexpr int kTitleHeight = 28;
constexpr int kFootHeight = 20;
constexpr int kCellWidth = 148;
constexpr int kCellHeight = 104;
constexpr int kPadding = 6;
constexpr int kIconSize = 32;
constexpr int kCaptionHeight = 18;
constexpr int kSmallHeight = 16;
constexpr int kWidth = 2 * kMargin + kGlanceColumns * kCellWidth + (kGlanceColumns - 1) * kGap;
constexpr int kHeight =
    2 * kMargin + kTitleHeight + kGlanceRows * kCellHeight + (kGlanceRows - 1) * kGap + kFootHeight;

// A scale as a fraction, so that every size rounds once.
struct Scale {
    int numerator;
    int denominator;
    int operator()(int pixels) const noexcept { return ::MulDiv(pixels, numerator, denominator); }
    bool IsBelow(const Scale& other) const noexcept {
        return static_cast<long long>(numerator) * other.denominator <
               static_cast<long long>(other.numerator) * denominator;
    }
};

RECT Rect(int left, int top, int width, int height) noexcept { return RECT{left, top, left + width, top + height}; }

// A link's own short name: the host of an address, else the last part of a path.
std::wstring ShortNameOfLink(const std::string& link, const UrlServiceReader& urls) {
    DWORD service = kUrlServiceUnknown;
    std::string host;
    if (urls.ParseServiceType(link.c_str(), service, host) && !host.empty()) return WideFromCp932(host);
    // Wide, so that a trail byte 0x5C of a Japanese name is never taken for a backslash.
    std::wstring path = WideFromCp932(link);
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos || cut + 1 == path.size() ? path : path.substr(cut + 1);
}

}  // namespace

GlanceLayout LayOutGlance(const RECT& workArea, UINT dpi) noexcept {
    const int areaWidth = std::max(1, static_cast<int>(workArea.right - workArea.left));
    const int areaHeight = std::max(1, static_cast<int>(workArea.bottom - workArea.top));
    Scale scale{static_cast<int>(dpi > 0 ? dpi : 96), 96};
    if (Scale{areaWidth, kWidth}.IsBelow(scale)) scale = Scale{areaWidth, kWidth};
    if (Scale{areaHeight, kHeight}.IsBelow(scale)) scale = Scale{areaHeight, kHeight};

    GlanceLayout layout;
    const int width = std::min(scale(kWidth), areaWidth);
    const int height = std::min(scale(kHeight), areaHeight);
    layout.window = Rect(workArea.left + (areaWidth - width) / 2, workArea.top + (areaHeight - height) / 2, width,
                         height);
    const int margin = scale(kMargin);
    layout.title = Rect(margin, margin, width - 2 * margin, scale(kTitleHeight));
    const int cellWidth = scale(kCellWidth);
    const int cellHeight = scale(kCellHeight);
    const int gap = scale(kGap);
    const int top = layout.title.bottom;
    for (int index = 0; index < KeySetTable::kKeyCount; ++index) {
        const int column = index % kGlanceColumns;
        const int row = index / kGlanceColumns;
        layout.cells[static_cast<std::size_t>(index)] =
            Rect(margin + column * (cellWidth + gap), top + row * (cellHeight + gap), cellWidth, cellHeight);
    }
    layout.foot = Rect(margin, layout.cells.back().bottom, width - 2 * margin, scale(kFootHeight));

    const int padding = scale(kPadding);
    const int iconSize = scale(kIconSize);
    const int inner = cellWidth - 2 * padding;
    layout.number = Rect(padding, padding, (cellWidth - iconSize) / 2 - padding, scale(kSmallHeight));
    layout.icon = Rect((cellWidth - iconSize) / 2, padding, iconSize, iconSize);
    layout.caption = Rect(padding, layout.icon.bottom + scale(4), inner, scale(kCaptionHeight));
    layout.combination = Rect(padding, layout.caption.bottom + scale(2), inner, scale(kSmallHeight));
    layout.typed = Rect(padding, layout.combination.bottom + scale(2), inner, scale(kSmallHeight));
    layout.titleFont = scale(18);
    layout.captionFont = scale(14);
    layout.smallFont = scale(12);
    return layout;
}

GlanceTexts GlanceTextsOf(const KeySet& record, const UrlServiceReader& urls) {
    GlanceTexts texts;
    texts.number = std::to_wstring(record.number);
    if (record.HasCaption()) texts.caption = WideFromCp932(record.caption);
    else if (record.HasLink()) texts.caption = ShortNameOfLink(record.link, urls);
    if (const std::optional<KeyCode> code = EffectiveKeyCode(record)) texts.combination = WideFromCp932(CombinationWords(*code));
    if (record.TypesText()) texts.typed = WideFromCp932(KeyActionText(record));
    texts.name = WideFromCp932(KeyButtonName(record));
    texts.dimmed = !record.HasLink() && !record.TypesText();
    return texts;
}
