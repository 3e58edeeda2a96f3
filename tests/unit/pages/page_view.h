#pragma once
// One page painted by the real frame with a fabricated App, read back through
// the recorded text runs and hit regions.
#include <cstdint>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "page_canvas.h" // roleOf

namespace ovra::test {

class PageView : public AppWindow {
protected:
    // Paints `page` so that its area is `pageWidth` pixels wide at 96 DPI (the
    // frame adds the sidebar and both margins), tall enough for the whole page.
    void show(int page, int pageWidth = 852, int height = 3000) {
        app.page = page;
        paint(pageWidth + sidebarWidth + 2 * pageMargin, height);
    }
    static constexpr int pageLeft = sidebarWidth + pageMargin;

    // The last region of this command and argument, as a click would find it.
    const HitRegion* hit(int32_t command, int32_t argument) const {
        const HitRegion* found = nullptr;
        for (const HitRegion& region : app.hits)
            if (region.command == command && region.argument == argument) found = &region;
        return found;
    }
    std::vector<int32_t> argumentsOf(int32_t command) const {
        std::vector<int32_t> arguments;
        for (const HitRegion& region : app.hits)
            if (region.command == command) arguments.push_back(region.argument);
        return arguments;
    }
    int count(const std::wstring& content) const {
        int n = 0;
        for (const TextRun& run : app.textRuns)
            n += run.text == content;
        return n;
    }
    // A segment drawn as the chosen one: its label strong, on the accent.
    bool chosen(const wchar_t* label) const {
        const TextRun* run = text(label);
        return run && run->font == FontRole::bodyStrong &&
               run->role == static_cast<int>(Role::onAccent);
    }
    const TextRun* textStarting(const std::wstring& prefix) const {
        for (const TextRun& run : app.textRuns)
            if (run.text.rfind(prefix, 0) == 0) return &run;
        return nullptr;
    }
};

} // namespace ovra::test
