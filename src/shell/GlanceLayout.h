#pragma once
// What the keys-at-a-glance overlay shows, and where: a pure reckoning of sizes and texts, so
// that both can be checked without a window.
//
// The thirty keys stand as in the settings dialog, six across and five down. The overlay is
// centred on the work area of a monitor and scaled by the DPI it is shown at, shrunk further
// only where the work area is smaller than it would be.
#include <windows.h>

#include <array>
#include <string>

#include "keys/KeySet.h"
#include "keys/KeySetTable.h"
#include "win/UrlService.h"

constexpr int kGlanceColumns = 6;
constexpr int kGlanceRows = 5;

struct GlanceLayout {
    RECT window{};  // screen coordinates
    // Client coordinates: the heading, the closing hint at the foot, and the key cells in key
    // order (key 1 at the top left, key 7 beneath it).
    RECT title{};
    RECT foot{};
    std::array<RECT, KeySetTable::kKeyCount> cells{};
    // The parts of every cell, in the cell's own coordinates.
    RECT number{};
    RECT icon{};
    RECT caption{};
    RECT combination{};
    RECT typed{};
    // Font heights in pixels: the heading's, the caption's, and the small type's.
    int titleFont = 0;
    int captionFont = 0;
    int smallFont = 0;
};

// Centred on the work area at the DPI (96 at 100 %), never larger than the work area.
GlanceLayout LayOutGlance(const RECT& workArea, UINT dpi) noexcept;

struct GlanceTexts {
    std::wstring number;       // "1".."30"
    // The caption; without one, the link's file or host name; without a link, nothing.
    std::wstring caption;
    std::wstring combination;  // the key's effective combination in words
    std::wstring typed;        // a typing key's text in quotes; empty for every other key
    std::wstring name;         // what a screen reader says: as the key's settings button
    bool dimmed = false;       // the key does nothing: neither a link nor a text to type
};

// The addresses are read by the Internet library (the host name of a web link).
GlanceTexts GlanceTextsOf(const KeySet& record, const UrlServiceReader& urls);
