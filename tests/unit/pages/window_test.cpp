// The main window: sidebar, scrolling, keys, clicks and DPI changes, driven
// through the handlers and the window procedure.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "pages/commands.h"

using namespace ovra;

namespace {

class Window : public test::AppWindow {
protected:
    int& offset() { return app.scrollOffsets[size_t(app.page)]; }
    void click(int x, int y) {
        onLButtonDown(app);
        onLButtonUp(app, x, y);
    }
};

const wchar_t* const labels[pageCount] = {L"Ringkasan", L"Performa", L"Penyimpanan",
                                          L"Baterai",   L"Sensor",   L"Proses",
                                          L"Riwayat",   L"Pro",      L"Pengaturan"};

} // namespace

TEST_F(Window, SidebarListsEveryPageAboveThePage) {
    app.page = 3;
    paint(1000, 700);
    ASSERT_GE(app.hits.size(), size_t(pageCount));
    const size_t first = app.hits.size() - pageCount; // the sidebar's regions come last
    for (int page = 0; page < pageCount; ++page) {
        const HitRegion& hit = app.hits[first + size_t(page)];
        EXPECT_EQ(hit.command, commandNavigate);
        EXPECT_EQ(hit.argument, page);
        EXPECT_EQ(hit.rect.left, 10);
        EXPECT_EQ(hit.rect.right, 208 - 10);
        EXPECT_EQ(hit.rect.top, 78 + 38 * page);
        EXPECT_EQ(hit.rect.bottom, 78 + 38 * page + 36);
        const TextRun* label = text(labels[page], 208);
        ASSERT_NE(label, nullptr) << page;
        EXPECT_EQ(label->rect.left, 26);
        EXPECT_EQ(label->font, page == 3 ? FontRole::bodyStrong : FontRole::body);
        EXPECT_EQ(label->role, static_cast<int>(page == 3 ? Role::text : Role::textSecondary));
    }
    // The selected item: its fill and the marker bar at its left edge.
    EXPECT_EQ(canvas->pixel(11, 78 + 38 * 3 + 18), app.palette[Role::accent]);
    EXPECT_EQ(canvas->pixel(100, 78 + 38 * 3 + 4), app.palette[Role::navSelected]);
    EXPECT_EQ(canvas->pixel(207, 300), app.palette[Role::border]);
    EXPECT_EQ(canvas->pixel(24, 26), app.palette[Role::accent]) << "the logo tile";
    const TextRun* name = text(L"Ovra Monitor");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->rect.left, 60);
    EXPECT_EQ(name->rect.top, 27);
    const TextRun* footer = text(L"Tanpa telemetri \u00B7 v1.0.0");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->rect.top, 700 - 64 + 22);
    EXPECT_EQ(footer->role, static_cast<int>(Role::textMuted));

    // In a short window the footer stays below the last item.
    paint(1000, 400);
    EXPECT_EQ(text(L"Tanpa telemetri \u00B7 v1.0.0")->rect.top, 78 + 9 * 38 + 12 + 22);
}

TEST_F(Window, SidebarScalesAndShowsHover) {
    app.dpi = 144;
    createFonts(app.fonts, app.dpi);
    app.mouse = POINT{100, 117 + 57 * 2 + 10}; // over the third item
    paint(1500, 1000);
    const HitRegion& third = app.hits[app.hits.size() - pageCount + 2];
    EXPECT_EQ(third.rect.left, 15);
    EXPECT_EQ(third.rect.top, 117 + 57 * 2);
    EXPECT_EQ(third.rect.right, 312 - 15);
    EXPECT_EQ(canvas->pixel(250, 117 + 57 * 2 + 6), app.palette[Role::navHover]);
    EXPECT_EQ(canvas->pixel(250, 117 + 57 * 1 + 6), app.palette[Role::sidebar]);
}

TEST_F(Window, WheelScrollsByScaledSteps) {
    onMouseWheel(app, -30); // a touchpad's small step down
    EXPECT_EQ(offset(), 16);
    onMouseWheel(app, 120);
    EXPECT_EQ(offset(), 16 - 64);
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), 0);
    EXPECT_EQ(offset(), 16 - 64 + 128);
    app.dpi = 144;
    offset() = 0;
    onMouseWheel(app, -30);
    EXPECT_EQ(offset(), 24);
}

TEST_F(Window, WheelOfAnySizeStaysWithinThePage) {
    offset() = scrollToEnd - 10;
    for (int i = 0; i < 10; ++i)
        onMouseWheel(app, -32768);
    EXPECT_EQ(offset(), scrollToEnd) << "held at the end, however far it is turned";
    app.lastContentHeight = 3000;
    paint(1000, 700);
    EXPECT_EQ(app.scrollOffsets[0], 3000 - 700);
    for (int i = 0; i < 20000; ++i)
        onMouseWheel(app, 32767);
    EXPECT_EQ(offset(), -scrollToEnd);
    paint(1000, 700);
    EXPECT_EQ(offset(), 0);
}

TEST_F(Window, EndThenPageUpIsOnePageAboveTheBottom) {
    app.lastContentHeight = 3000;
    EXPECT_TRUE(onKeyDown(app, VK_END, false, 700));
    EXPECT_EQ(offset(), scrollToEnd);
    paint(1000, 700);
    EXPECT_EQ(offset(), 2300);
    EXPECT_TRUE(onKeyDown(app, VK_PRIOR, false, 700));
    EXPECT_EQ(offset(), 2300 - (700 - 80));
    onKeyDown(app, VK_DOWN, false, 700);
    EXPECT_EQ(offset(), 2300 - 620 + 48);
    onKeyDown(app, VK_UP, false, 700);
    onKeyDown(app, VK_HOME, false, 700);
    EXPECT_EQ(offset(), 0);
    onKeyDown(app, VK_NEXT, false, 700);
    EXPECT_EQ(offset(), 620);
    paint(1000, 700); // the placeholder page is shorter than the window
    EXPECT_EQ(offset(), 0);
}

TEST_F(Window, ControlDigitsOpenPagesAndOtherKeysPassThrough) {
    EXPECT_TRUE(onKeyDown(app, '8', true, 700));
    EXPECT_EQ(app.page, 7);
    EXPECT_TRUE(onKeyDown(app, '9', true, 700));
    EXPECT_EQ(app.page, 8);
    EXPECT_TRUE(onKeyDown(app, '1', true, 700));
    EXPECT_EQ(app.page, 0);
    EXPECT_FALSE(onKeyDown(app, '0', true, 700));
    EXPECT_FALSE(onKeyDown(app, VK_NUMPAD3, true, 700));
    EXPECT_FALSE(onKeyDown(app, '3', false, 700));
    EXPECT_FALSE(onKeyDown(app, VK_LEFT, false, 700));
    EXPECT_FALSE(onKeyDown(app, VK_F5, false, 700));
    EXPECT_EQ(app.page, 0);
    // Each page keeps its own offset.
    onKeyDown(app, VK_NEXT, false, 700);
    onKeyDown(app, '2', true, 700);
    EXPECT_EQ(offset(), 0);
    onKeyDown(app, '1', true, 700);
    EXPECT_EQ(offset(), 620);
}

TEST_F(Window, LaterRegionWinsHoverAndClick) {
    app.hits = {{RECT{0, 0, 300, 300}, commandNavigate, 2},
                {RECT{100, 100, 200, 200}, commandNavigate, 3}};
    onMouseMove(app, 150, 150);
    EXPECT_EQ(app.hovered, 1);
    onMouseMove(app, 50, 50);
    EXPECT_EQ(app.hovered, 0);
    click(150, 150);
    EXPECT_EQ(app.page, 3);
    // Pressed on one region, released on another: the one under the release runs.
    onLButtonDown(app);
    onLButtonUp(app, 20, 20);
    EXPECT_EQ(app.page, 2);
    click(500, 500);
    EXPECT_EQ(app.page, 2) << "a release outside every region does nothing";
}

TEST_F(Window, ReleaseWithoutAPressInTheWindowIsNoClick) {
    app.hits = {{RECT{0, 0, 300, 300}, commandNavigate, 4}};
    onLButtonUp(app, 10, 10); // the end of a double-click on the title bar
    EXPECT_EQ(app.page, 0);
    onLButtonDown(app);
    onMouseLeave(app);
    onLButtonUp(app, 10, 10);
    EXPECT_EQ(app.page, 0) << "leaving the window forgets the press";
    EXPECT_EQ(app.mouse.x, -10000);
    EXPECT_EQ(app.hovered, -1);
    // Through the window procedure, with coordinates left of the window's origin.
    app.hits = {{RECT{-50, -50, 10, 10}, commandNavigate, 5}};
    send(WM_LBUTTONDOWN, 0, MAKELPARAM(WORD(-5), WORD(-5)));
    send(WM_LBUTTONUP, 0, MAKELPARAM(WORD(-5), WORD(-5)));
    EXPECT_EQ(app.page, 5);
}

TEST_F(Window, RegionsOutOfRangeDoNothing) {
    app.hits = {{RECT{0, 0, 100, 100}, commandNavigate, 42},
                {RECT{100, 0, 200, 100}, commandNavigate, -1},
                {RECT{200, 0, 300, 100}, 999, 1}};
    const Settings before = app.settings;
    for (int x : {50, 150, 250})
        click(x, 50);
    EXPECT_EQ(app.page, 0);
    EXPECT_EQ(app.settings.theme, before.theme);
}

TEST_F(Window, MinimumSizeIsScaled) {
    MINMAXINFO info{};
    EXPECT_EQ(send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 760);
    EXPECT_EQ(info.ptMinTrackSize.y, 520);
    app.dpi = 144;
    send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 1140);
    EXPECT_EQ(info.ptMinTrackSize.y, 780);
}

TEST_F(Window, DpiChangeRebuildsFontsAndTakesTheSuggestedRectangle) {
    const HFONT old = app.fonts[FontRole::body];
    RECT suggested{40, 50, 40 + 1590, 50 + 1080};
    send(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(app.dpi, 144);
    EXPECT_EQ(GetObjectType(old), 0u) << "the old font is released";
    LOGFONTW font{};
    GetObjectW(app.fonts[FontRole::body], sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -20);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 50);
    EXPECT_EQ(frame.right - frame.left, 1590);
    EXPECT_EQ(frame.bottom - frame.top, 1080);
}

TEST_F(Window, ScrollBarShowsOnlyForALongPage) {
    paint(1000, 700);
    EXPECT_EQ(canvas->pixel(1000 - 5, 30), app.palette[Role::background]);
    // Forty pixels of window: the header alone is taller.
    paint(1000, 100);
    ASSERT_GT(app.lastContentHeight, 100);
    const int track = 100 - 16;
    const int thumb = std::max(100 * track / app.lastContentHeight, 40);
    EXPECT_EQ(canvas->pixel(1000 - 5, 8 + thumb / 2), app.palette[Role::textMuted]);
    EXPECT_EQ(canvas->pixel(1000 - 5, 8 + thumb + 4), app.palette[Role::background]);
    offset() = scrollToEnd;
    paint(1000, 100);
    EXPECT_EQ(canvas->pixel(1000 - 5, 100 - 8 - thumb / 2), app.palette[Role::textMuted]);
    EXPECT_EQ(canvas->pixel(1000 - 5, 8 + 2), app.palette[Role::background]);
}

TEST_F(Window, EmptyClientAreaPaintsNothing) {
    app.hits = {{RECT{0, 0, 10, 10}, commandNavigate, 1}};
    HDC screen = GetDC(nullptr);
    paintWindow(app, screen, RECT{0, 0, 0, 500});
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(app.hits.size(), 1u);
}

TEST_F(Window, NavigationRunsTheProcessTimerOnlyOnItsPage) {
    app.settings.processMode = 1;
    navigateTo(app, processesPage);
    EXPECT_EQ(app.page, processesPage);
    EXPECT_TRUE(timerRuns(3));
    EXPECT_TRUE(timerRuns(1));
    navigateTo(app, 6);
    EXPECT_FALSE(timerRuns(3));
    // Choosing the page already shown does nothing, not even restart the timers.
    KillTimer(window, 1);
    navigateTo(app, 6);
    EXPECT_FALSE(timerRuns(1));
    app.settings.processMode = 0;
    navigateTo(app, processesPage);
    EXPECT_FALSE(timerRuns(3));
    EXPECT_TRUE(timerRuns(1));
}
