#include "ui/fonts.h"

#include "ui/dpi.h"

namespace ovra {

void createFonts(FontSet& set, int dpi) {
    struct FontShape {
        int height; // dip
        int weight;
    };
    static constexpr FontShape shapes[fontCount] = {
        {22, 600}, {15, 600}, {13, 400}, {13, 600}, {12, 400}, {26, 600},
    };
    deleteFonts(set);
    for (int i = 0; i < fontCount; ++i) {
        // A negative height asks for the character height rather than the cell height.
        set.fonts[i] =
            CreateFontW(-fontPixels(shapes[i].height, dpi, set.textScale), 0, 0, 0,
                        shapes[i].weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Segoe UI");
    }
}

int fontPixels(int dip, int dpi, int textScale) {
    return MulDiv(scaled(dip, dpi), textScale, 100);
}

int clampTextScale(DWORD percent) {
    return percent < 100 ? 100 : percent > 225 ? 225 : static_cast<int>(percent);
}

int readTextScale() {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", L"TextScaleFactor",
                     RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 100;
    return clampTextScale(value);
}

void deleteFonts(FontSet& set) {
    for (HFONT& font : set.fonts) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
}

} // namespace ovra
