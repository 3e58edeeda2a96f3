#pragma once
// The two colour palettes. Pages use roles, never literal colours.
#include <array>
#include <cstdint>

namespace ovra {

using Colour = uint32_t; // COLORREF layout: 0x00BBGGRR

enum class Role : int {
    background,
    sidebar,
    navHover,
    navSelected,
    card,
    border,
    text,
    textSecondary,
    textMuted,
    accent,
    onAccent,
    statusGood,
    statusWarning,
    statusBad,
    track,
    series1,
    series2,
    series3,
    control,
    controlHover,
};
inline constexpr int roleCount = 20;

struct Palette {
    bool dark = false;
    bool highContrast = false; // system colours only, and a border on every control
    std::array<Colour, roleCount> colours{};
    Colour operator[](Role role) const { return colours[static_cast<int>(role)]; }
};

Palette buildPalette(bool dark);

// The colours a Windows high-contrast theme defines (GetSysColor).
struct SystemColours {
    Colour window = 0, windowText = 0, highlight = 0, highlightText = 0, hotLight = 0, grayText = 0,
           buttonFace = 0;
};
// Every role drawn in one of the theme's colours: text on window, the accent as the
// highlight, warnings as hot-light, muted text as disabled text, controls as buttons.
Palette highContrastPalette(const SystemColours& system);
// The palette to draw with now: the high-contrast one while Windows has a
// high-contrast theme on, else the program's own light or dark one.
Palette windowsPalette(bool dark);

// a + (b - a) * t per channel, rounded to nearest.
Colour lerpColour(Colour a, Colour b, double t);

} // namespace ovra
