// Starting the program: one window of our class, one instance, the minimised start.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

std::wstring windowTitle(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

} // namespace

TEST(Startup, WindowAppearsWithClassAndTitle) {
    removeDataFolder();
    Program program;
    ASSERT_TRUE(program.started()) << "could not start the program";
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr) << "no window of class OvraMonitorMainWindow appeared";
    EXPECT_EQ(className(window), L"OvraMonitorMainWindow");
    EXPECT_EQ(windowTitle(window), L"Ovra Monitor");
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetParent(window), nullptr);
    // The data folder exists from the start, even before anything is saved.
    EXPECT_TRUE(folderExists(dataFolder()));
}

TEST(Startup, SecondStartHandsOverAndExits) {
    // The first copy starts without settings.ini and writes it only when it closes,
    // so a settings.ini seen while it runs could only come from the second copy.
    // (The folder itself proves nothing: the first copy makes it again on its ticks.)
    removeDataFolder();
    Program first;
    HWND window = first.waitForWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));
    ASSERT_FALSE(fileExists(dataFolder() + L"\\settings.ini"));

    Program second;
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_EQ(mainWindows().size(), 1u) << "the second start must not open a window";
    EXPECT_FALSE(fileExists(dataFolder() + L"\\settings.ini"))
        << "the second start must not write any file";
    // The running window was restored and brought forward.
    EXPECT_TRUE(eventually([&] { return !IsIconic(window); }));
    EXPECT_TRUE(eventually([&] { return GetForegroundWindow() == window; }));
    EXPECT_EQ(first.waitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
}

TEST(Startup, MinimizedFlagStartsMinimized) {
    Program program(L"--minimized");
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));
    EXPECT_NE(GetForegroundWindow(), window) << "a minimised start must not take the focus";
}
