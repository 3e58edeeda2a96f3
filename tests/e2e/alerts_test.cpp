// Alerts reaching the user through the tray, and the tray icon bringing the
// window back.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

using namespace e2e;

namespace {

constexpr UINT trayCallback = WM_APP + 1;
constexpr LPARAM balloonClick = 0x405; // NIN_BALLOONUSERCLICK

bool answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

} // namespace

TEST(Alerts, HotSensorAndLowRamThresholdRunTheAlertPathWithOrWithoutATray) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "the simulated PC exists only in a Wine prefix";
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring settings = dataFolder() + L"\\settings.ini";
    WritePrivateProfileStringW(L"umum", L"interval_cepat_ms", L"1000", settings.c_str());
    WritePrivateProfileStringW(L"umum", L"peringatan1_ambang", L"50", settings.c_str());
    // A thermal zone at 90 degrees Celsius (tenths of kelvin), above the default 85.
    const std::wstring state = dataFolder() + L"\\mesin.txt";
    HANDLE file = CreateFileW(state.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string line = "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3632\n";
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(file);
    const OnSimulatedPc simulated(state);

    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    // Explorer re-creating its taskbar: the icon is added again.
    PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    const bool trayShown = FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
    if (trayShown)
        EXPECT_TRUE(eventually([&] { return balloonShown(program.processId()); }, 15000))
            << "the temperature alert shows as a balloon";
    else
        Sleep(5000); // a few ticks with the alerts raised and no tray to show them
    EXPECT_EQ(program.waitForExit(0), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(answers(window));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}

TEST(Alerts, TrayClickRestoresTheMinimisedWindowAndRightClickDoesNot) {
    Program program(L"--minimized");
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(eventually([&] { return IsIconic(window) != FALSE; }));

    SendMessageW(window, trayCallback, 1, WM_RBUTTONUP);
    Sleep(300);
    EXPECT_TRUE(IsIconic(window));
    SendMessageW(window, trayCallback, 1, balloonClick);
    EXPECT_TRUE(eventually([&] { return !IsIconic(window) && IsWindowVisible(window); }));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}
