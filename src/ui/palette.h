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
    std::array<Colour, roleCount> colours{};
    Colour operator[](Role role) const { return colours[static_cast<int>(role)]; }
};

Palette buildPalette(bool dark);

// a + (b - a) * t per channel, rounded to nearest.
Colour lerpColour(Colour a, Colour b, double t);

} // namespace ovra
