// Starting and ending the program: its window, the single instance, the minimised
// start brought back from the tray, and the close.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

constexpr wchar_t mutexName[] = L"Local\\OvraMonitor.SingleInstance";

std::wstring settingsFile() {
    return dataFolder() + L"\\settings.ini";
}

std::wstring profileReport() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"ovra-profile.txt";
}

} // namespace

TEST(Startup, WindowShowsCentredAndTheCloseEndsWithZeroAndWritesTheSettings) {
    removeDataFolder();
    DeleteFileW(profileReport().c_str());
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Ovra Monitor");
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    RECT frame{}, work{};
    GetWindowRect(window, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frame.right - frame.left, std::min(1060L, work.right - work.left));
    EXPECT_EQ(frame.left - work.left, work.right - frame.right) << "centred";
    HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, mutexName);
    EXPECT_NE(held, nullptr);
    CloseHandle(held);
    for (int paint = 0; paint < 25; ++paint) // without OVRA_PROFILE: no timing report
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(fileExists(settingsFile())) << "nothing is saved before the close";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, mutexName), nullptr);
    EXPECT_NE(readFile(settingsFile()).find("\r\nsuhu_pengaman=85\r\n"), std::string::npos);
    EXPECT_FALSE(fileExists(profileReport()));
}

// The first copy writes settings.ini only when it closes, so one seen while it
// runs could only come from the second.
TEST(Startup, SecondStartHandsOverToTheRunningWindowAndExits) {
    removeDataFolder();
    Program first;
    HWND window = first.waitForWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));
    Program second;
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_EQ(topWindows(mainWindowClass).size(), 1u);
    EXPECT_FALSE(fileExists(settingsFile())) << "the second start touches no file";
    EXPECT_TRUE(eventually([&] { return !IsIconic(window) && GetForegroundWindow() == window; }));
}

// The window ends in one place and opens there, maximised as it ended, also after
// a minimised start (which takes no focus; the tray icon brings it back); a place
// off every monitor opens centred.
TEST(Startup, WindowOpensWhereItEndedAndCentredWhenThatIsOffEveryMonitor) {
    removeDataFolder();
    const RECT kept{40, 30, 940, 630};
    const auto run = [](const wchar_t* arguments, auto&& check) {
        Program program(arguments);
        HWND window = program.waitForWindow();
        ASSERT_NE(window, nullptr);
        check(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0u);
    };
    const auto atKept = [&](HWND window) { // shown there, not only made there
        RECT frame{};
        return eventually([&] {
            return IsWindowVisible(window) && GetWindowRect(window, &frame) &&
                   EqualRect(&frame, &kept);
        });
    };
    run(L"", [&](HWND window) { MoveWindow(window, kept.left, kept.top, 900, 600, TRUE); });
    run(L"", [&](HWND window) {
        EXPECT_TRUE(atKept(window));
        ShowWindow(window, SW_MAXIMIZE);
    });
    const std::string file = readFile(settingsFile());
    EXPECT_LT(file.find("\r\nsuhu_pengaman="), file.find("\r\njendela_")) << "after the others";
    run(L"--minimized", [&](HWND window) {
        ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));
        EXPECT_NE(GetForegroundWindow(), window);
        deliver(window, WM_APP + 1, 1, WM_RBUTTONUP);
        EXPECT_TRUE(IsIconic(window)) << "the release of a right click leaves it";
        deliver(window, WM_APP + 1, 1, 0x405); // a click on a balloon (NIN_BALLOONUSERCLICK)
        EXPECT_TRUE(eventually([&] { return IsZoomed(window) != FALSE; })) << "as it ended";
        ShowWindow(window, SW_RESTORE);
        EXPECT_TRUE(atKept(window));
    });
    WritePrivateProfileStringW(L"umum", L"jendela_kiri", L"-30000", settingsFile().c_str());
    run(L"", [&](HWND window) {
        RECT frame{}, work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.right - frame.left, std::min(1060L, work.right - work.left));
        EXPECT_EQ(frame.left - work.left, work.right - frame.right) << "centred";
    });
}
