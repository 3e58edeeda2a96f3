// Pages in the real window: keys and clicks, each page's own scroll, the sampling
// that page changes leave alone, and what a long session costs in handles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "driver.h"
#include "support/process_resources.h"

using namespace e2e;

namespace {

// The selected sidebar item shows the accent marker at its left edge.
int selectedPage(HWND window) {
    const Screen screen = capture(window);
    for (int page = 0; page < 9 && !screen.pixels.empty(); ++page)
        if (uint32_t marker = screen.at(11, sidebarItem(page).y);
            marker == lightAccent || marker == rgb(0x30, 0xBA, 0xA2))
            return page;
    return -1;
}

// Top of the scroll-bar thumb, 5 pixels in from the right edge; -1 without one.
int thumbTop(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const Screen screen = capture(window);
    for (int y = 0; y < screen.height; ++y)
        if (screen.at(screen.width - 5, y) == rgb(0x8C, 0x94, 0x9E)) return y;
    return -1;
}

// Walks the menu about to open with keys: `steps` times Down (Up when negative), then
// Enter; with `trayOf`, its tray menu opened as the shell does for a right click.
bool pickFromMenu(int steps, HWND trayOf = nullptr) {
    if (trayOf)
        PostMessageW(trayOf, WM_APP + 1, MAKEWPARAM(300, 300), MAKELPARAM(WM_CONTEXTMENU, 1));
    HWND menu = nullptr;
    if (!eventually([&] { return IsWindowVisible(menu = FindWindowW(L"#32768", nullptr)); }, 5000))
        return false;
    for (int step = 0; step < std::abs(steps); ++step)
        PostMessageW(menu, WM_KEYDOWN, steps > 0 ? VK_DOWN : VK_UP, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return eventually([&] { return !IsWindowVisible(menu); }, 5000);
}

std::wstring clipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Rests the pointer on point after point down the page at `x`, a screen at a time,
// until the tip beside it says something that matches.
std::wstring tipAlong(HWND window, int x, const std::wregex& wanted) {
    for (int screen = 0; screen < 3; ++screen, deliver(window, WM_KEYDOWN, VK_NEXT, 0))
        for (int y = 40; y < capture(window).height; y += 12) {
            deliver(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            HWND tip = FindWindowW(L"OvraMonitorTip", nullptr);
            wchar_t text[512] = {};
            if (IsWindowVisible(tip) && GetWindowTextW(tip, text, 512) &&
                std::regex_search(text, wanted))
                return text;
        }
    return {};
}

struct Shown { // a started program whose first frame is on the screen
    Shown() {
        window = program.waitForWindow();
        if (window && !eventually([&] { return selectedPage(window) == 0; })) window = nullptr;
    }
    Program program;
    HWND window = nullptr;
};

} // namespace

TEST(Navigation, KeysAndClicksOpenPagesAndEachKeepsItsOwnScroll) {
    removeDataFolder();
    Shown shown;
    ASSERT_NE(shown.window, nullptr);
    for (int digit : {9, 2, 3, 4, 5, 6, 7, 8, 1}) {
        SetForegroundWindow(shown.window);
        pressChord(VK_CONTROL, WORD('0' + digit));
        EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == digit - 1; }, 5000))
            << "Ctrl+" << digit;
    }
    pressChord(VK_CONTROL, '0');
    pressChord(VK_CONTROL, VK_NUMPAD4);
    clickAt(shown.window, sidebarItem(6));
    EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == 6; }, 5000));
    clickAt(shown.window, sidebarItem(3));
    EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == 3; }, 5000))
        << "Ctrl+0 and keypad digits open nothing";

    // Each page keeps its own scroll: the summary, left for a short page, and back.
    clickAt(shown.window, sidebarItem(0));
    SetWindowPos(shown.window, nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER); // 760 x 520
    int top = -1, scrolled = -1;
    ASSERT_TRUE(eventually([&] { return (top = thumbTop(shown.window)) >= 0; }, 5000))
        << "the summary is taller than the smallest window";
    deliver(shown.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), 0);
    ASSERT_TRUE(eventually([&] { return (scrolled = thumbTop(shown.window)) > top; }, 5000));
    // Over the bar the thumb is wider; it follows a drag, and a click above it pages up.
    const Screen shot = capture(shown.window);
    const int right = shot.width, bottom = shot.height;
    const auto post = [&](UINT message, int y) {
        PostMessageW(shown.window, message, 0, MAKELPARAM(right - 5, y));
    };
    post(WM_MOUSEMOVE, scrolled + 5);
    EXPECT_TRUE(eventually([&] {
        return thumbTop(shown.window) >= 0 && capture(shown.window).at(right - 8, scrolled + 5) ==
                                                  capture(shown.window).at(right - 5, scrolled + 5);
    }));
    const int dragged = (top + scrolled) / 2;
    for (auto [message, y] : {std::pair{UINT(WM_LBUTTONDOWN), scrolled + 5},
                              {UINT(WM_MOUSEMOVE), dragged + 5},
                              {UINT(WM_LBUTTONUP), dragged + 5}})
        post(message, y);
    EXPECT_TRUE(eventually([&] { return std::abs(thumbTop(shown.window) - dragged) <= 1; }, 5000));
    post(WM_LBUTTONDOWN, top + 1); // above it: a page up, to the top
    post(WM_LBUTTONUP, top + 1);
    PostMessageW(shown.window, WM_MOUSEMOVE, 0, MAKELPARAM(right / 2, bottom / 2));
    EXPECT_TRUE(eventually([&] { return thumbTop(shown.window) == top; }, 5000));
    deliver(shown.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-240)), 0);
    ASSERT_TRUE(eventually([&] { return (scrolled = thumbTop(shown.window)) > top; }, 5000));
    int shortPage = 1; // a page that fits the window: it has no thumb
    for (; shortPage < 9; ++shortPage) {
        clickAt(shown.window, sidebarItem(shortPage));
        eventually([&] { return selectedPage(shown.window) == shortPage; }, 5000);
        if (thumbTop(shown.window) < 0) break;
    }
    ASSERT_LT(shortPage, 9);
    clickAt(shown.window, sidebarItem(0));
    eventually([&] { return selectedPage(shown.window) == 0 && thumbTop(shown.window) >= 0; });
    EXPECT_EQ(thumbTop(shown.window), scrolled);
}

// A chart tells the time and value of the sample under the pointer; a name cut
// with "…" shows whole in the tip. Ctrl+C copies the page as lines, a process row
// with its whole name, PID and values; "Salin" on a right click copies one row.
// The tray menu: the open item first, then the pages in sidebar order, the
// notifications and the end last, which saves and exits like the close button.
TEST(Navigation, TipsCopyAndTheTrayMenu) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring name = L"proses-dengan-nama-panjang-yang-tidak-muat-di-kolomnya-0123.exe";
    ASSERT_TRUE(CopyFileW(self, name.c_str(), FALSE)); // beside the tests
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION waiting{};
    ASSERT_TRUE(CreateProcessW(name.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, nullptr, &startup, &waiting));
    removeDataFolder();
    Shown shown;
    ASSERT_NE(shown.window, nullptr);
    clickAt(shown.window, sidebarItem(1));
    const std::wregex cpuReadout(L"^\\d\\d:\\d\\d:\\d\\d\\n\\d+(,\\d)?%$"); // once sampled
    EXPECT_TRUE(
        eventually([&] { return !tipAlong(shown.window, pageLeft + 100, cpuReadout).empty(); }));
    clickAt(shown.window, sidebarItem(5));
    EXPECT_EQ(tipAlong(shown.window, pageLeft + 30, std::wregex(L"^proses-")), name);
    // Name, PID, CPU ("4,5%", "12%" or "…" before its second look) and the working set.
    const std::wregex ownRow(L"(^|\\r\\n)OvraMonitor\\.exe\\t" +
                             std::to_wstring(shown.program.processId()) +
                             L"\\t(\\d+(,\\d)?%|\u2026)\\t[\\d.]+(,\\d+)? (KB|MB|GB)\\r\\n");
    std::wstring copied;
    EXPECT_TRUE(eventually([&] {
        SetForegroundWindow(shown.window);
        pressChord(VK_CONTROL, 'C');
        Sleep(200);
        return std::regex_search(copied = clipboardText(), ownRow);
    })) << std::string(copied.begin(), copied.end());
    EXPECT_NE(copied.find(L"\r\n" + name + L"\t"), std::wstring::npos) << "the whole name";
    EXPECT_EQ(copied.find(L"\r\nPengaturan\r\n"), std::wstring::npos) << "nothing of the sidebar";
    PostMessageW(shown.window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pageLeft + 4, 34));
    PostMessageW(shown.window, WM_RBUTTONUP, 0, MAKELPARAM(pageLeft + 4, 34));
    ASSERT_TRUE(pickFromMenu(1));
    EXPECT_TRUE(eventually([&] { return clipboardText() == L"Proses"; })) << "the page's title";
    ASSERT_TRUE(pickFromMenu(2 + 2, shown.window)); // the third page
    EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == 2; }));
    ShowWindow(shown.window, SW_MINIMIZE);
    ASSERT_TRUE(pickFromMenu(1, shown.window)); // a minimised window is drawn nowhere
    EXPECT_TRUE(eventually([&] { return selectedPage(shown.window) == 2; })) << "the open item";
    ASSERT_TRUE(pickFromMenu(-2, shown.window)); // pause the notifications
    ASSERT_TRUE(pickFromMenu(-1, shown.window)); // the end
    EXPECT_EQ(shown.program.waitForExit(), 0u);
    const std::string settings = readFile(dataFolder() + L"\\settings.ini");
    EXPECT_NE(settings.find("\r\nnotifikasi=0\r\n"), std::string::npos) << settings;
    TerminateProcess(waiting.hProcess, 0);
    CloseHandle(waiting.hThread);
    CloseHandle(waiting.hProcess);
    DeleteFileW(name.c_str());
}

// Page changes restart only the process timer: samples go on every second while
// the user clicks through the pages faster than that. The simulated PC's counters
// reach the history file that the end of the session writes, without blocking.
TEST(Navigation, SamplingGoesOnWhilePagesChangeAndTheSessionEndWritesIt) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring state = std::wstring(temp) + L"ovra-e2e-pc.txt";
    std::ofstream(state.c_str(), std::ios::binary | std::ios::trunc)
        << "\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
           "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 2048\n"
           "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3232\n";
    const OnSimulatedPc simulated(state);
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring settings = dataFolder() + L"\\settings.ini";
    WritePrivateProfileStringW(L"umum", L"riwayat_disimpan", L"1", settings.c_str());
    WritePrivateProfileStringW(L"umum", L"interval_cepat_ms", L"1000", settings.c_str());
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    for (int click = 0; click < 20; ++click, Sleep(250))
        clickAt(window, sidebarItem(click % 2 ? 1 : 6));

    DWORD_PTR answer = 0;
    for (auto [message, wParam] : {std::pair{UINT(WM_POWERBROADCAST), WPARAM(PBT_APMSUSPEND)},
                                   {UINT(WM_QUERYENDSESSION), WPARAM(0)}}) {
        ASSERT_NE(SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG, 10000, &answer),
                  0);
        EXPECT_EQ(answer, DWORD_PTR(TRUE)) << message;
    }
    const std::string rows = readFile(dataFolder() + L"\\riwayat.csv");
    EXPECT_GE(std::count(rows.begin(), rows.end(), '\n'), 1 + 4) << rows;
    // waktu, cpu, ram, unduh, unggah, baca disk, tulis disk, suhu (3232 tenths of kelvin)
    EXPECT_TRUE(
        std::regex_search(rows, std::regex(",1048576(\\.0*)?,2048(\\.0*)?,50\\.0\\d*\r\n$")))
        << rows;
    EXPECT_EQ(program.waitForExit(0), DWORD(STILL_ACTIVE)) << "nothing of this ends the program";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    DeleteFileW(state.c_str());
}

// The least of several looks: a paint or a tick in progress holds a few objects.
TEST(Resources, NoGrowthAcrossPaintsAndPageSwitchesAndTheProfileReportsThem) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring report = std::wstring(temp) + L"ovra-profile.txt";
    DeleteFileW(report.c_str());
    SetEnvironmentVariableW(L"OVRA_PROFILE", L"1");
    Shown shown;
    SetEnvironmentVariableW(L"OVRA_PROFILE", nullptr);
    ASSERT_NE(shown.window, nullptr);
    HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, shown.program.processId());
    const auto round = [&](int paints, int switches) {
        for (int i = 0; i < paints; ++i)
            RedrawWindow(shown.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        for (int i = 0; i < switches; ++i)
            clickAt(shown.window, sidebarItem((i + 1) % 9));
        size_t gdi = SIZE_MAX, kernel = SIZE_MAX;
        for (int look = 0; look < 5; ++look, Sleep(20)) {
            gdi = std::min(gdi, ovra::test::gdiObjectCount(process));
            kernel = std::min(kernel, ovra::test::kernelHandleCount(shown.program.processId()));
        }
        return std::pair{gdi, kernel};
    };
    const auto start = round(20, 9); // what the first visit of each page creates once
    EXPECT_GT(start.first * start.second, 0u);
    const auto end = round(500, 50);
    EXPECT_LE(end.first, start.first) << "GDI objects";
    EXPECT_LE(end.second, start.second) << "kernel handles";
    CloseHandle(process);

    const std::string text = readFile(report);
    const std::regex line(
        " n=[ 0-9]{5} rata2=[ 0-9]{4,}\\.[0-9]{2} ms maks=[ 0-9]{4,}\\.[0-9]{2} ms\r\n");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), line), {}), 4) << text;
    EXPECT_EQ(text.rfind("gambar         n=", 0), 0u) << text;
    DeleteFileW(report.c_str());
}
