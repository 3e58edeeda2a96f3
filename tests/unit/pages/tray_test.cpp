// The tray icon: balloon texts, the click that brings the window back, and what
// the shell of this machine answers.
#include "pages/tray.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/scheduler.h"
#include "harness.h"

using namespace ovra;

namespace {

// A plain top-level window standing in for the main window.
class TrayWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OvraTrayTestWindow";
        RegisterClassW(&windowClass);
        app.instance = GetModuleHandleW(nullptr);
        app.window =
            CreateWindowExW(0, windowClass.lpszClassName, L"tray test", WS_OVERLAPPEDWINDOW, 0, 0,
                            300, 200, nullptr, nullptr, app.instance, nullptr);
        ASSERT_NE(app.window, nullptr);
    }
    void TearDown() override {
        removeTrayIcon(app);
        DestroyWindow(app.window);
        app.window = nullptr;
    }
    test::TempFolder folder{L"ovra-tray"};
    App app{folder.path};
};

} // namespace

TEST(TrayText, CutsTitlesAt63AndTextsAt255) {
    EXPECT_EQ(fitText(L"RAM hampir penuh", 63), L"RAM hampir penuh");
    EXPECT_EQ(fitText(std::wstring(70, L'a'), 63), std::wstring(63, L'a'));
    EXPECT_EQ(fitText(std::wstring(300, L'b'), 255), std::wstring(255, L'b'));
    EXPECT_EQ(fitText(std::wstring(255, L'c'), 255).size(), 255u);
}

TEST(TrayText, NeverSplitsASurrogatePair) {
    // U+1F525 as D83D DD25, its first half at position 62 (the 63rd unit).
    const std::wstring title = std::wstring(62, L'x') + L"\xD83D\xDD25" + L"yz";
    EXPECT_EQ(fitText(title, 63), std::wstring(62, L'x'));
    // A pair that ends exactly at the limit stays whole.
    const std::wstring whole = std::wstring(61, L'x') + L"\xD83D\xDD25" + L"yz";
    EXPECT_EQ(fitText(whole, 63), std::wstring(61, L'x') + L"\xD83D\xDD25");
}

TEST(TrayText, OnlyLeftClicksAndBalloonClicksRestore) {
    for (UINT event : {UINT(WM_LBUTTONUP), UINT(WM_LBUTTONDBLCLK), UINT(NIN_BALLOONUSERCLICK)})
        EXPECT_TRUE(trayEventRestoresWindow(event)) << event;
    for (UINT event : {UINT(WM_RBUTTONUP), UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONDOWN),
                       UINT(NIN_BALLOONSHOW), UINT(NIN_BALLOONTIMEOUT)})
        EXPECT_FALSE(trayEventRestoresWindow(event)) << event;
}

TEST_F(TrayWindow, ClickOnIconRestoresAMinimisedWindowAndRightClickDoesNot) {
    ShowWindow(app.window, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(app.window));
    onTrayCallback(app, WM_RBUTTONUP);
    EXPECT_TRUE(IsIconic(app.window));
    onTrayCallback(app, NIN_BALLOONUSERCLICK);
    EXPECT_FALSE(IsIconic(app.window));
    EXPECT_TRUE(IsWindowVisible(app.window));
}

TEST_F(TrayWindow, IconFollowsTheShellsAnswerAndComesBackAfterTaskbarCreated) {
    registerTaskbarCreated(app);
    EXPECT_NE(app.taskbarCreatedMessage, 0u);

    addTrayIcon(app);
    const bool accepted = app.trayPresent; // Wine without a notification area may refuse
    showBalloon(app, L"RAM hampir penuh", std::wstring(400, L'r'));
    onTaskbarCreated(app);
    EXPECT_EQ(app.trayPresent, accepted) << "re-added as the shell allows";
    removeTrayIcon(app);
    EXPECT_FALSE(app.trayPresent);
    showBalloon(app, L"skipped", L"no icon"); // must not touch the shell
    if (!accepted) GTEST_SKIP() << "this shell offers no notification area";
}

TEST_F(TrayWindow, SlowTickAddsAnIconTheShellDidNotTakeAtStartUp) {
    addTrayIcon(app);
    const bool accepted = app.trayPresent;
    removeTrayIcon(app);
    if (!accepted) GTEST_SKIP() << "this shell offers no notification area";

    startMeasuring(app);
    ASSERT_FALSE(app.trayPresent) << "as when Explorer was still starting at sign-in";
    slowTick(app);
    EXPECT_TRUE(app.trayPresent);
}
