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
    int textScale = 100; // Windows' text size in percent, on top of the DPI
    HFONT operator[](FontRole role) const { return fonts[static_cast<int>(role)]; }
};

// Creates the fonts for `dpi` and the set's text scale.
void createFonts(FontSet& set, int dpi);
// A font `dip` tall in pixels at `dpi` and `textScale` percent.
int fontPixels(int dip, int dpi, int textScale);
// Windows' "Text size" (Accessibility), 100 to 225 percent; 100 when not set.
int readTextScale();
// A stored text size kept within what Windows offers.
int clampTextScale(DWORD percent);
void deleteFonts(FontSet& set);

} // namespace ovra
