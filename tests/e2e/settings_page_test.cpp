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
constexpr int pageLeft = 236; // sidebar and margin at 96 DPI

// The client area as the screen shows it, one 0x00RRGGBB value per pixel.
struct Screen {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Screen capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Screen screen;
    screen.width = client.right;
    screen.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = screen.width;
    info.bmiHeader.biHeight = -screen.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, screen.width, screen.height, windowDc, 0, 0, SRCCOPY);
        SelectObject(memoryDc, previous);
        const uint32_t* first = static_cast<const uint32_t*>(bits);
        screen.pixels.assign(first, first + size_t(screen.width) * size_t(screen.height));
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return screen;
}

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
constexpr uint32_t lightBackground = rgb(0xF3, 0xF5, 0xF7), darkBackground = rgb(0x16, 0x18, 0x1C);
constexpr uint32_t lightAccent = rgb(0x0D, 0x7A, 0x6A), lightToggleOff = rgb(0xBE, 0xC6, 0xCD);

// The right margin of the page area shows the page background.
uint32_t pageBackground(HWND window) {
    const Screen screen = capture(window);
    return screen.pixels.empty() ? 0 : screen.at(screen.width - 20, screen.height - 20);
}

// The first point of the page area, row by row, where `colour` runs at least
// `run` pixels down; (-1, -1) when there is none.
POINT firstColumnRun(const Screen& screen, uint32_t colour, int run) {
    for (int y = 0; y + run <= screen.height; ++y)
        for (int x = pageLeft; x < screen.width; ++x) {
            int n = 0;
            while (n < run && screen.at(x, y + n) == colour)
                ++n;
            if (n == run) return POINT{x, y};
        }
    return POINT{-1, -1};
}

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
