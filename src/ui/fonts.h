#pragma once
// The six fonts of the interface, owned by the App from window creation to
// destruction and recreated when the DPI changes.
#include <array>
#include <windows.h>

namespace ovra {

enum class FontRole : int { title, heading, body, bodyStrong, small, big };
inline constexpr int fontCount = 6;

struct FontSet {
    std::array<HFONT, fontCount> fonts{};
    HFONT operator[](FontRole role) const { return fonts[static_cast<int>(role)]; }
};

void createFonts(FontSet& set, int dpi);
void deleteFonts(FontSet& set);

} // namespace ovra
