#include "canvas.h"

namespace ovra::test {

Canvas::Canvas(int width, int height, int dpi, bool dark) : width_(width), height_(height) {
    palette = buildPalette(dark);
    createFonts(fonts, dpi);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    ui.dc = dc_;
    ui.palette = &palette;
    ui.fonts = &fonts;
    ui.dpi = dpi;
    ui.hits = &hits;
    ui.texts = &texts;
    ui.clip = RECT{0, 0, width, height};
    fillRect(ui, ui.clip, palette[Role::background]);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    deleteFonts(fonts);
}

Colour Canvas::pixel(int x, int y) const {
    GdiFlush();
    const uint32_t bgr = bits_[y * width_ + x]; // 0x00RRGGBB in a DIB
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

std::vector<uint32_t> Canvas::pixels() const {
    GdiFlush();
    return std::vector<uint32_t>(bits_, bits_ + size_t(width_) * size_t(height_));
}

const TextRun* Canvas::text(const std::wstring& wanted) const {
    for (const TextRun& run : texts)
        if (run.text == wanted) return &run;
    return nullptr;
}

} // namespace ovra::test
