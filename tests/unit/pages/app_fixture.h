#pragma once
// An App with a folder of its own and a stand-in window (a hidden pop-up: procedure and timers
// work, start-up, sources and tray never run); paints are read back as text runs and hit regions.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app.h"
#include "harness.h"
#include "app/window.h"
#include "ui/gdi.h"

namespace ovra::test {

inline constexpr auto roleOf = [](Role role) { return static_cast<int>(role); };

struct Canvas {
    Canvas(int width, int height)
        : bitmap(CreateBitmap(width, height, 1, 32, nullptr)), selected(dc.get(), bitmap.get()) {}
    Colour pixel(int x, int y) const { return GetPixel(dc.get(), x, y); }
    MemoryDc dc{nullptr};
    GdiObject bitmap;
    Selection selected;
};

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 100, 1000, 700, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        app.window = window;
        app.view.recordTextRuns = true;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
        createFonts(app.view.fonts, app.view.dpi);
    }
    void TearDown() override {
        for (UINT_PTR id = 1; id <= 4; ++id)
            KillTimer(window, id);
        deleteFonts(app.view.fonts);
        DestroyWindow(window);
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return mainWindowProc(window, message, wParam, lParam);
    }
    bool timerRuns(UINT_PTR id) {
        const bool ran = KillTimer(window, id) != FALSE;
        if (ran) SetTimer(window, id, 60000, nullptr);
        return ran;
    }
    void paint(int width = 1000, int height = 700) {
        canvas = std::make_unique<Canvas>(width, height);
        drawFrame(app, canvas->dc.get(), width, height);
    }
    // Paints `page` in a page area `pageWidth` dip wide, tall enough for all of it.
    void show(int page, int pageWidth = 852, int height = 3000) {
        app.view.page = page;
        paint(scaled(pageWidth + sidebarWidth + 2 * pageMargin, app.view.dpi), scaled(height, app.view.dpi));
    }
    static constexpr int pageLeft = sidebarWidth + pageMargin;

    // The first text drawn left of `right` that is `content` (or with `prefix`, starts with it).
    const TextRun* text(const std::wstring& s, int right = 1 << 30, bool prefix = false) const {
        for (const TextRun& run : app.view.textRuns)
            if ((prefix ? run.text.rfind(s, 0) == 0 : run.text == s) && run.rect.left < right)
                return &run;
        return nullptr;
    }
    const TextRun* textStarting(const std::wstring& s) const { return text(s, 1 << 30, true); }
    int count(const std::wstring& s) const {
        return int(std::count_if(app.view.textRuns.begin(), app.view.textRuns.end(),
                                 [&](const TextRun& run) { return run.text == s; }));
    }
    bool chosen(const wchar_t* label) const {
        const TextRun* run = text(label);
        return run && run->font == FontRole::bodyStrong && run->role == roleOf(Role::onAccent);
    }
    const HitRegion* hit(int32_t command, int32_t argument) const {
        const HitRegion* found = nullptr;
        for (const HitRegion& region : app.view.hits)
            if (region.command == command && region.argument == argument) found = &region;
        return found;
    }
    std::vector<int32_t> argumentsOf(int32_t command) const {
        std::vector<int32_t> arguments;
        for (const HitRegion& region : app.view.hits)
            if (region.command == command) arguments.push_back(region.argument);
        return arguments;
    }

    TempFolder folder{L"ovra-window"};
    App app{folder.path};
    HWND window = nullptr;
    std::unique_ptr<Canvas> canvas;
};
using PageView = AppWindow;

} // namespace ovra::test
