// The main window's input: scrolling, hover and cursor, clicks, the timers.
#include <gtest/gtest.h>

#include "app/scheduler.h"
#include "pages/app_fixture.h"
#include "app/commands.h"
#include "app/tray.h"
#include "app/copy.h"
#include "app/window_place.h"

using namespace ovra;

using Window = test::AppWindow;

TEST_F(Window, WheelAndKeysScrollByScaledStepsAndThePaintClamps) {
    int& offset = app.view.scrollOffsets[summaryPage];
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-30)), 0); // a touchpad's small step down
    EXPECT_EQ(offset, 16);
    app.view.contentHeights[summaryPage] = 3000; // as the last paint measured it
    const int keys[] = {VK_END, 0, VK_PRIOR, VK_DOWN, VK_HOME, VK_NEXT, 0};
    const int offsets[] = {scrollToEnd, 2300, 2300 - 620, 2300 - 572, 0, 620, 0};
    for (size_t i = 0; i < std::size(keys); ++i) {
        if (keys[i])
            EXPECT_TRUE(onKeyDown(app, WPARAM(keys[i]), false, 700));
        else
            paint(1000, 700); // clamps to the page; the bare summary is shorter than the window
        EXPECT_EQ(offset, offsets[i]) << i;
    }
}

TEST_F(Window, HoverAndCursorFollowTheContentAfterAScroll) {
    app.view.page = pageCount - 1; // settings, full of controls
    paint(1000, 400);
    ASSERT_GT(app.view.hits.size(), size_t(pageCount)) << "the page's controls, then the sidebar";
    const size_t region = 0;
    const RECT rect = app.view.hits[region].rect;
    send(WM_MOUSEMOVE, 0, MAKELPARAM((rect.left + rect.right) / 2, rect.bottom - 1));
    ASSERT_EQ(app.view.hovered, int(region));
    onMouseWheel(app, -30); // the content moves 16 pixels up under the resting pointer
    paint(1000, 400);
    EXPECT_NE(app.view.hovered, int(region));
    EXPECT_EQ(app.view.hovered, regionAt(app.view.hits, app.view.mouse));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, app.view.hovered < 0 ? IDC_ARROW : IDC_HAND));
}

// A release without a press (a title-bar double-click) is no click.
TEST_F(Window, ClickOpensThePageUnderTheReleaseTouchingOnlyTheProcessTimer) {
    app.view.hits = {{RECT{-50, -50, 300, 300}, commandNavigate, processesPage}};
    send(WM_LBUTTONUP, 0, MAKELPARAM(WORD(-5), WORD(-5)));
    EXPECT_EQ(app.view.page, summaryPage);
    send(WM_LBUTTONDOWN, 0, 0);
    send(WM_LBUTTONUP, 0, MAKELPARAM(WORD(-5), WORD(-5)));
    EXPECT_EQ(app.view.page, processesPage);
    EXPECT_TRUE(timerRuns(processTimer));
    EXPECT_FALSE(timerRuns(fastTimer));
    navigateTo(app, batteryPage);
    EXPECT_FALSE(timerRuns(processTimer));
}

// The smallest window is 760 x 520 dip at every DPI; balloon texts are cut to the
// shell's field, never inside a surrogate pair.
TEST_F(Window, MinimumSizeFollowsTheDpiAndTrayTextsFitTheirFields) {
    for (int dpi : {96, 144}) {
        app.view.dpi = dpi;
        MINMAXINFO info{};
        send(WM_GETMINMAXINFO, 0, LPARAM(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, 760 * dpi / 96);
        EXPECT_EQ(info.ptMinTrackSize.y, 520 * dpi / 96);
    }
    const std::wstring pair = L"\U0001F525"; // two UTF-16 units
    EXPECT_EQ(fitText(L"ab" + pair, 3), L"ab");
    EXPECT_EQ(fitText(L"ab" + pair, 4), L"ab" + pair);
}

// A kept place opens where it was only on the same layout and with its title bar
// on a work area; anything else opens centred and not maximised.
TEST(WindowPlace, KeptOnlyOnTheSameLayoutWithTheTitleBarOnAWorkArea) {
    const std::vector<RECT> layout{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    const int32_t signature = monitorLayoutSignature(layout);
    EXPECT_NE(signature, monitorLayoutSignature({layout[0]})) << "a monitor unplugged";
    const std::vector<RECT> work{{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
    const RECT centred{430, 160, 1490, 880};
    for (const auto& [place, kept] : std::vector<std::pair<WindowPlace, bool>>{
             {{signature, 2500, 100, 800, 600, true}, true},   // on the second monitor
             {{signature, -736, 1016, 800, 600, true}, true},  // 64 x 24 of it still shown
             {{signature, -737, 1016, 800, 600, true}, false}, // 63 x 24
             {{signature, 3140, 500, 800, 600, false}, false}, // the bar beyond the right edge
             {{signature ^ 1, 100, 100, 800, 600, false}, false}}) {
        const WindowStart start = chooseWindowStart(place, signature, work, centred);
        const RECT expected =
            kept ? RECT{place.left, place.top, place.left + 800, place.top + 600} : centred;
        EXPECT_TRUE(EqualRect(&start.frame, &expected)) << place.left << ", " << place.top;
        EXPECT_EQ(start.maximised, kept && place.maximised) << place.left;
    }
}

// The copy draws the whole page off screen and leaves the window as it was.
TEST_F(Window, PageTextIsTheWholePageAndLeavesScrollAndRegionsAlone) {
    paint(1000, 400);
    app.view.scrollOffsets[summaryPage] = 200;
    paint(1000, 400);
    const std::vector<HitRegion> hits = app.view.hits;
    const std::vector<TextLine> lines = pageTextLines(app);
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines.front().text, pageName(summaryPage));
    EXPECT_EQ(lines.front().rect.top, 24) << "from the top of the page";
    EXPECT_EQ(app.view.scrollOffsets[summaryPage], 200);
    ASSERT_EQ(app.view.hits.size(), hits.size());
    EXPECT_TRUE(EqualRect(&app.view.hits.front().rect, &hits.front().rect));
}
