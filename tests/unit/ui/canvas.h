#pragma once
// A memory bitmap with the program's fonts and palette, and a Ui over it that
// records hit regions and text runs: pages and widgets are drawn here without
// any window or display.
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

#include "ui/ui.h"

namespace ovra::test {

class Canvas {
public:
    explicit Canvas(int width = 1000, int height = 800, int dpi = 96, bool dark = false);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Ui ui;
    Palette palette;
    FontSet fonts;
    std::vector<HitRegion> hits;
    std::vector<TextRun> texts;

    Colour pixel(int x, int y) const; // COLORREF layout
    std::vector<uint32_t> pixels() const;
    // The first recorded run with exactly this text, or null.
    const TextRun* text(const std::wstring& text) const;

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

} // namespace ovra::test
