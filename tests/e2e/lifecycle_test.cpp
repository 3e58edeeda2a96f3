// Ending the program: closing the window ends the process cleanly.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

TEST(Lifecycle, CloseEndsWithZeroAndReleasesMutex) {
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    HANDLE whileRunning = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\OvraMonitor.SingleInstance");
    EXPECT_NE(whileRunning, nullptr) << "the running program holds the single-instance mutex";
    if (whileRunning) CloseHandle(whileRunning);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\OvraMonitor.SingleInstance"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Lifecycle, ShutdownAndSleepMessagesNeverBlock) {
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0xDEAD;
        const LRESULT delivered =
            SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
        EXPECT_NE(delivered, 0) << "message " << message << " was not answered in time";
        return result;
    };
    EXPECT_EQ(send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(send(WM_ENDSESSION, FALSE, 0), 0u);
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0), static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0), static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0), static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(program.waitForExit(200), static_cast<DWORD>(STILL_ACTIVE))
        << "none of these messages ends the program by itself";
}
