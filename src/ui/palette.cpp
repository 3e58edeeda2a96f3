#include "ui/palette.h"

namespace ovra {

namespace {

// #RRGGBB as written in the design, stored as COLORREF (0x00BBGGRR).
constexpr Colour hex(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace

Palette buildPalette(bool dark) {
    static constexpr uint32_t light[roleCount] = {
        0xF3F5F7, 0xFFFFFF, 0xEEF2F4, 0xE0F2EE, 0xFFFFFF, 0xDEE2E7, 0x1C2127,
        0x58616D, 0x8C949E, 0x0D7A6A, 0xFFFFFF, 0x238654, 0xB07000, 0xC43228,
        0xE5E9ED, 0x0D7A6A, 0x4068C4, 0xC46028, 0xECF0F3, 0xE0E5EA,
    };
    static constexpr uint32_t darkRoles[roleCount] = {
        0x16181C, 0x1D2025, 0x262A30, 0x18403A, 0x21252B, 0x32373F, 0xE6E9EC,
        0xA0A8B2, 0x767E88, 0x30BAA2, 0x0C1414, 0x4CC480, 0xE8AC3C, 0xF0645A,
        0x30353C, 0x30BAA2, 0x6E96F0, 0xEC8C50, 0x2D3239, 0x383E46,
    };
    Palette palette;
    palette.dark = dark;
    for (int i = 0; i < roleCount; ++i)
        palette.colours[i] = hex(dark ? darkRoles[i] : light[i]);
    return palette;
}

Palette highContrastPalette(const SystemColours& c) {
    const Colour roles[roleCount] = {
        c.window,        c.window,     c.window,     c.window,     c.window,
        c.windowText,    c.windowText, c.windowText, c.grayText,   c.highlight,
        c.highlightText, c.windowText, c.hotLight,   c.hotLight,   c.buttonFace,
        c.highlight,     c.hotLight,   c.windowText, c.buttonFace, c.buttonFace,
    };
    Palette palette;
    palette.highContrast = true;
    for (int i = 0; i < roleCount; ++i)
        palette.colours[size_t(i)] = roles[i];
    return palette;
}

Colour lerpColour(Colour a, Colour b, double t) {
    Colour result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double from = (a >> shift) & 0xFF;
        const double to = (b >> shift) & 0xFF;
        result |= static_cast<Colour>(static_cast<int>(from + (to - from) * t + 0.5)) << shift;
    }
    return result;
}

} // namespace ovra
