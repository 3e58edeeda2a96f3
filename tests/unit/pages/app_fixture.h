#pragma once
// An App keeping its files in a folder of its own, with a stand-in window: a hidden pop-up whose
// user data points at the App, so the window procedure, the timers and SetWindowPos work on it,
// while the start-up, sources and tray of the real window never run.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "harness.h"
#include "pages/window.h"
#include "ui/canvas.h"

namespace ovra::test {

class AppWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 100, 1000, 700, HWND_MESSAGE,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        app.window = window;
        app.recordTextRuns = true;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
        createFonts(app.fonts, app.dpi);
    }
    void TearDown() override {
        for (UINT_PTR id = 1; id <= 4; ++id)
            KillTimer(window, id);
        deleteFonts(app.fonts);
        DestroyWindow(window);
    }

    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return mainWindowProc(window, message, wParam, lParam);
    }

    // Paints the frame into a memory bitmap of this size.
    void paint(int width = 1000, int height = 700) {
        canvas = std::make_unique<Canvas>(width, height, app.dpi);
        drawFrame(app, canvas->ui.dc, width, height);
    }

    // The first text the last paint drew left of `right` with exactly this content.
    const TextRun* text(const std::wstring& content, int right = 1 << 30) const {
        for (const TextRun& run : app.textRuns)
            if (run.text == content && run.rect.left < right) return &run;
        return nullptr;
    }

    bool timerRuns(UINT_PTR id) {
        const bool ran = KillTimer(window, id) != FALSE;
        if (ran) SetTimer(window, id, 60000, nullptr);
        return ran;
    }

    TempFolder folder{L"ovra-window"};
    App app{folder.path};
    HWND window = nullptr;
    std::unique_ptr<Canvas> canvas;
};

} // namespace ovra::test
