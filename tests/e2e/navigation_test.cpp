// Moving between pages in the real window: key chords, sidebar clicks, and
// what a long session of paints and page changes costs in handles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "driver.h"
#include "support/process_resources.h"

using namespace e2e;
using ovra::test::gdiObjectCount;
using ovra::test::kernelHandleCount;

namespace {

constexpr int pages = 9;

// The selected item shows the accent marker bar at its left edge.
int selectedPage(HWND window) {
    HDC dc = GetDC(window);
    int selected = -1;
    for (int page = 0; page < pages; ++page) {
        const COLORREF marker = GetPixel(dc, 11, sidebarItem(page).y);
        if (marker == RGB(0x0D, 0x7A, 0x6A) || marker == RGB(0x30, 0xBA, 0xA2)) selected = page;
    }
    ReleaseDC(window, dc);
    return selected;
}

void pressControlChord(WORD key) {
    INPUT inputs[4] = {};
    for (INPUT& input : inputs)
        input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_CONTROL;
    inputs[1].ki.wVk = key;
    inputs[2].ki.wVk = key;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = VK_CONTROL;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
}

// A started program whose first frame is on the screen.
struct ShownProgram {
    ShownProgram() {
        removeDataFolder();
        window = program.waitForWindow();
        if (window) eventually([&] { return selectedPage(window) == 0; });
    }
    ~ShownProgram() {
        if (!window) return;
        PostMessageW(window, WM_CLOSE, 0, 0);
        program.waitForExit();
    }
    Program program;
    HWND window = nullptr;
};

// Windows a process owns, top-level and message-only.
size_t windowCount(DWORD processId) {
    struct Search {
        DWORD processId;
        size_t count;
    } search{processId, 0};
    auto countWindow = [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId) ++s->count;
        return TRUE;
    };
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));)
        countWindow(w, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

struct Resources {
    size_t gdi, kernel, windows;
};

// The resting counts: a paint or a tick in progress holds a few objects for a
// moment, so the least of several looks is what the process keeps.
Resources resourcesOf(HANDLE process, DWORD processId) {
    Resources least{SIZE_MAX, SIZE_MAX, SIZE_MAX};
    for (int look = 0; look < 5; ++look) {
        least.gdi = std::min(least.gdi, gdiObjectCount(process));
        least.kernel = std::min(least.kernel, kernelHandleCount(processId));
        least.windows = std::min(least.windows, windowCount(processId));
        Sleep(20);
    }
    return least;
}

} // namespace

TEST(Navigation, ControlDigitsOpenEveryPage) {
    ShownProgram shown;
    ASSERT_NE(shown.window, nullptr);
    ASSERT_EQ(selectedPage(shown.window), 0);
    for (int digit : {9, 2, 3, 4, 5, 6, 7, 8, 1}) {
        SetForegroundWindow(shown.window);
        pressControlChord(WORD('0' + digit));
        EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == digit - 1; }, 5000))
            << "Ctrl+" << digit;
    }
    SetForegroundWindow(shown.window);
    pressControlChord('0');
    pressControlChord(VK_NUMPAD4);
    settle(shown.window);
    Sleep(200);
    EXPECT_EQ(selectedPage(shown.window), 0) << "Ctrl+0 and keypad digits do nothing";
}

TEST(Navigation, SidebarClickOpensThePageUnderTheRelease) {
    ShownProgram shown;
    ASSERT_NE(shown.window, nullptr);
    clickAt(shown.window, sidebarItem(6));
    EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == 6; }, 5000));
    // A release whose press happened elsewhere (a double-click on the title bar
    // that maximised the window) is not a click.
    const POINT item = sidebarItem(2);
    deliver(shown.window, WM_LBUTTONUP, 0, MAKELPARAM(item.x, item.y));
    RedrawWindow(shown.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(selectedPage(shown.window), 6);
}

TEST(Resources, MeasuresMoveWithADeliberateLeak) {
    // The counts used below must see objects come and go, or a leak check built
    // on them could never fail.
    HANDLE self = GetCurrentProcess();
    const DWORD id = GetCurrentProcessId();
    // What the first window of a process sets up once is not part of the count.
    DestroyWindow(
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr));
    resourcesOf(self, id);
    const Resources before = resourcesOf(self, id);
    std::vector<HGDIOBJ> brushes;
    std::vector<HANDLE> events;
    std::vector<HWND> windows;
    for (int i = 0; i < 10; ++i) {
        brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
        events.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        windows.push_back(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr));
    }
    const Resources leaking = resourcesOf(self, id);
    EXPECT_GE(leaking.gdi, before.gdi + 10);
    EXPECT_GE(leaking.kernel, before.kernel + 10);
    EXPECT_GE(leaking.windows, before.windows + 10);
    for (int i = 0; i < 10; ++i) {
        DeleteObject(brushes[size_t(i)]);
        CloseHandle(events[size_t(i)]);
        DestroyWindow(windows[size_t(i)]);
    }
    const Resources after = resourcesOf(self, id);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.kernel, before.kernel);
    EXPECT_EQ(after.windows, before.windows);
}

TEST(Resources, NoGrowthAcrossPaintsAndPageSwitches) {
    ShownProgram shown;
    ASSERT_NE(shown.window, nullptr);
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, shown.program.processId());
    ASSERT_NE(process, nullptr);
    auto paint = [&](int times) {
        for (int i = 0; i < times; ++i)
            RedrawWindow(shown.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    auto switchPages = [&](int times) {
        for (int i = 0; i < times; ++i)
            clickAt(shown.window, sidebarItem((i + 1) % pages));
    };
    // One round of everything first, so what is created once (font caches, the
    // first visit of a page) is not counted as growth.
    switchPages(pages);
    paint(20);
    const Resources start = resourcesOf(process, shown.program.processId());
    EXPECT_GT(start.gdi, 0u);
    EXPECT_GT(start.kernel, 0u);
    paint(500);
    switchPages(50);
    settle(shown.window);
    const Resources end = resourcesOf(process, shown.program.processId());
    EXPECT_LE(end.gdi, start.gdi) << "GDI objects";
    EXPECT_LE(end.kernel, start.kernel) << "kernel handles";
    EXPECT_LE(end.windows, start.windows) << "windows";
    CloseHandle(process);
}

TEST(Navigation, WheelScrollsALongPageAndTheThumbFollows) {
    ShownProgram shown;
    ASSERT_NE(shown.window, nullptr);
    // The smallest window Windows allows: the summary no longer fits in it.
    SetWindowPos(shown.window, nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    settle(shown.window);
    RECT frame{};
    GetWindowRect(shown.window, &frame);
    EXPECT_EQ(frame.right - frame.left, 760) << "minimum tracking width";
    EXPECT_EQ(frame.bottom - frame.top, 520) << "minimum tracking height";
    RECT client{};
    GetClientRect(shown.window, &client);
    // Top of the scroll-bar thumb, 5 pixels in from the right edge; -1 without one.
    auto thumbTop = [&] {
        RedrawWindow(shown.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(shown.window);
        int top = -1;
        for (int y = 0; y < client.bottom && top < 0; ++y)
            if (GetPixel(dc, client.right - 5, y) == RGB(0x8C, 0x94, 0x9E)) top = y;
        ReleaseDC(shown.window, dc);
        return top;
    };
    // The window paints on its own thread; each look waits for the picture to settle.
    int start = -1;
    ASSERT_TRUE(eventually([&] { return (start = thumbTop()) == 8; }, 5000))
        << "a page taller than the window shows the thumb at the top, got " << start;
    deliver(shown.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), MAKELPARAM(400, 300));
    int scrolled = -1;
    EXPECT_TRUE(eventually([&] { return (scrolled = thumbTop()) > start; }, 5000));
    deliver(shown.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-30000)), MAKELPARAM(400, 300));
    int bottom = -1;
    EXPECT_TRUE(eventually([&] { return (bottom = thumbTop()) > scrolled; }, 5000))
        << "a huge turn goes on to the end of the page";
    const int thumbLength = [&] {
        HDC dc = GetDC(shown.window);
        int length = 0;
        while (GetPixel(dc, client.right - 5, bottom + length) == RGB(0x8C, 0x94, 0x9E))
            ++length;
        ReleaseDC(shown.window, dc);
        return length;
    }();
    EXPECT_EQ(bottom + thumbLength, client.bottom - 8) << "and stops there";
    deliver(shown.window, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_TRUE(eventually([&] { return thumbTop() == start; }, 5000));
}
