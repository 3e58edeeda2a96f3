#include <windows.h>

#include "ui/palette.h"

namespace ovra {

Palette windowsPalette(bool dark) {
    HIGHCONTRASTW contrast{sizeof(contrast), 0, nullptr};
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) ||
        !(contrast.dwFlags & HCF_HIGHCONTRASTON))
        return buildPalette(dark);
    SystemColours system;
    system.window = GetSysColor(COLOR_WINDOW);
    system.windowText = GetSysColor(COLOR_WINDOWTEXT);
    system.highlight = GetSysColor(COLOR_HIGHLIGHT);
    system.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    system.hotLight = GetSysColor(COLOR_HOTLIGHT);
    system.grayText = GetSysColor(COLOR_GRAYTEXT);
    system.buttonFace = GetSysColor(COLOR_BTNFACE);
    Palette palette = highContrastPalette(system);
    palette.dark = dark;
    return palette;
}

} // namespace ovra
