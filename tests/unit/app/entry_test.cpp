// Command line and the first window frame.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/entry.h"

using namespace ovra;

TEST(Entry, MinimizedFlagIsAPlainCaseSensitiveSubstring) {
    EXPECT_TRUE(hasMinimizedFlag(L"--minimized"));
    EXPECT_TRUE(hasMinimizedFlag(L"\"C:\\Program Files\\Ovra\\OvraMonitor.exe\" --minimized"));
    EXPECT_TRUE(hasMinimizedFlag(L"x--minimizedy"));
    EXPECT_FALSE(hasMinimizedFlag(L"--Minimized"));
    EXPECT_FALSE(hasMinimizedFlag(L"-minimized"));
    EXPECT_FALSE(hasMinimizedFlag(L""));
    EXPECT_FALSE(hasMinimizedFlag(nullptr));
}

TEST(Entry, WindowIsCentredAtItsScaledSize) {
    const RECT frame = initialWindowRect(144, RECT{0, 0, 2560, 1400});
    EXPECT_EQ(frame.right - frame.left, 1590);
    EXPECT_EQ(frame.bottom - frame.top, 1080);
    EXPECT_EQ(frame.left, (2560 - 1590) / 2);
    EXPECT_EQ(frame.top, (1400 - 1080) / 2);

    // A work area that does not start at the origin (taskbar on the left or top).
    const RECT offset = initialWindowRect(96, RECT{100, 40, 1920, 1080});
    EXPECT_EQ(offset.left, 100 + (1820 - 1060) / 2);
    EXPECT_EQ(offset.top, 40 + (1040 - 720) / 2);
}

TEST(Entry, SmallWorkAreaIsFilledExactly) {
    const RECT work{0, 30, 1024, 600};
    const RECT frame = initialWindowRect(96, work);
    EXPECT_EQ(frame.left, work.left);
    EXPECT_EQ(frame.top, work.top);
    EXPECT_EQ(frame.right, work.right);
    EXPECT_EQ(frame.bottom, work.bottom);
}
