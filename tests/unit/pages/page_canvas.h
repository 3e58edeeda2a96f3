#pragma once
// Pages drawn with a fabricated App into a memory bitmap, read back through the
// recorded text runs, hit regions and a few pixels.
#include <memory>
#include <string>
#include <vector>

#include "../ui/canvas.h"
#include "app/app.h"

namespace ovra::test {

struct PageCanvas {
    explicit PageCanvas(int dpi = 96, int width = 1200, int height = 2400)
        : canvas(width, height, dpi), app(std::make_unique<App>()) {}

    Canvas canvas;
    std::unique_ptr<App> app;

    int px(int dip) const { return scaled(dip, canvas.ui.dpi); }
    // Runs a page function at the page area's usual place.
    int draw(int (App::*page)(Ui&, int, int, int), int width = 852) {
        canvas.texts.clear();
        canvas.hits.clear();
        return (app.get()->*page)(canvas.ui, px(236), px(24), width);
    }
    const TextRun* text(const std::wstring& wanted) const { return canvas.text(wanted); }
    // Every run starting with `prefix`, in drawing order.
    std::vector<const TextRun*> textsStarting(const std::wstring& prefix) const;
    int count(const std::wstring& wanted) const;
    // The colour of the bar drawn right below a big value, `heightDip` tall.
    Colour barBelow(const TextRun& bigValue, int heightDip = 8) const;
    Colour role(Role wanted) const { return canvas.palette[wanted]; }
};

inline int roleOf(Role role) {
    return static_cast<int>(role);
}

} // namespace ovra::test
