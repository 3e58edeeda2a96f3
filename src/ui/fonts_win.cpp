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
        set.fonts[i] = CreateFontW(-scaled(shapes[i].height, dpi), 0, 0, 0, shapes[i].weight, FALSE,
                                   FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Segoe UI");
    }
}

void deleteFonts(FontSet& set) {
    for (HFONT& font : set.fonts) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
}

} // namespace ovra
