// The settings and history pages in the real window: a click on a control
// changes what the user sees and what the program keeps on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

constexpr int settingsPage = 8;
constexpr int historyPage = 6;

std::wstring settingsPath() {
    return dataFolder() + L"\\settings.ini";
}

// The program started on a fresh data folder holding only these settings, in
// the light theme, showing `page`.
struct ProgramOnPage {
    ProgramOnPage(const std::vector<std::pair<const wchar_t*, const wchar_t*>>& values, int page) {
        removeDataFolder();
        CreateDirectoryW(dataFolder().c_str(), nullptr);
        WritePrivateProfileStringW(L"umum", L"tema", L"0", settingsPath().c_str());
        for (const auto& [key, value] : values)
            WritePrivateProfileStringW(L"umum", key, value, settingsPath().c_str());
        window = program.waitForWindow();
        if (!window || !eventually([&] { return pageBackground(window) == lightBackground; }))
            window = nullptr;
        else
            clickAt(window, sidebarItem(page));
    }
    // Closing ends the program cleanly.
    DWORD close() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return program.waitForExit();
    }
    Program program;
    HWND window = nullptr;
};

size_t lineCount(const std::string& text) {
    return size_t(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(SettingsPage, ThemeChoiceTurnsThePageDarkAndIsSaved) {
    ProgramOnPage shown({}, settingsPage);
    ASSERT_NE(shown.window, nullptr);

    // The chosen theme's segment is the first accent the page shows; "Gelap" is
    // the segment right after it.
    POINT light{-1, -1};
    ASSERT_TRUE(eventually([&] {
        light = firstColumnRun(capture(shown.window), lightAccent, 12);
        return light.x >= 0;
    }));
    const Screen screen = capture(shown.window);
    int right = light.x;
    while (right < screen.width && screen.at(right, light.y + 6) == lightAccent)
        ++right;
    clickAt(shown.window, POINT{right + 16, light.y + 6});

    EXPECT_TRUE(eventually([&] { return pageBackground(shown.window) == darkBackground; }));
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"tema", -1, settingsPath().c_str()), 1)
        << "saved at once, before the window closes";
    EXPECT_EQ(shown.close(), 0u);
}

TEST(HistoryPage, SavingSwitchedOnWritesTheFileAfterThirtyTicks) {
    ProgramOnPage shown({{L"interval_cepat_ms", L"1000"}}, historyPage);
    ASSERT_NE(shown.window, nullptr);

    // The storage card's switch is the page's first switch, and it is off.
    POINT toggle{-1, -1};
    ASSERT_TRUE(eventually([&] {
        toggle = firstColumnRun(capture(shown.window), lightToggleOff, 10);
        return toggle.x >= 0;
    }));
    const std::wstring csv = dataFolder() + L"\\riwayat.csv";
    clickAt(shown.window, POINT{toggle.x + 16, toggle.y + 5});
    const ULONGLONG switchedOn = GetTickCount64();
    EXPECT_TRUE(eventually([] {
        return GetPrivateProfileIntW(L"umum", L"riwayat_disimpan", -1, settingsPath().c_str()) == 1;
    })) << "saved at once";
    EXPECT_FALSE(fileExists(csv)) << "rows wait until thirty are buffered";

    ASSERT_TRUE(eventually([&] { return fileExists(csv); }, 90000));
    EXPECT_GE(GetTickCount64() - switchedOn, 25000u) << "thirty ticks at one second";
    std::string content;
    ASSERT_TRUE(eventually([&] {
        content = readFile(csv);
        return lineCount(content) >= 31;
    }));
    EXPECT_EQ(content.rfind("waktu_lokal,cpu_persen,", 0), 0u);
    EXPECT_EQ((lineCount(content) - 1) % 30, 0u) << "whole batches of thirty rows";
    EXPECT_EQ(shown.close(), 0u);
}
