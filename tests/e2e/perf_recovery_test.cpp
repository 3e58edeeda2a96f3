// Consent, a plan chosen and applied on the page (power plans in the stand-in
// powrprof.dll), a crash leaving it in force, and the next start putting it back.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

const std::string balanced = "{381B4222-F694-41F0-9685-FF5BB260DF2E}";
const std::string high = "{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}";
constexpr uint32_t lightText = rgb(0x1C, 0x21, 0x27), lightBad = rgb(0xC4, 0x32, 0x28);

std::wstring temporaryFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// The first place drawn in `colour` (a column of `run` pixels) at the end of the
// performance-control page, once there is one.
POINT atPageEnd(HWND window, uint32_t colour, int run) {
    POINT found{-1, -1};
    if (!eventually([&] { return pageBackground(window) == lightBackground; })) return found;
    clickAt(window, sidebarItem(7));
    eventually(
        [&] {
            deliver(window, WM_KEYDOWN, VK_END, 0);
            settle(window);
            return (found = firstColumnRun(capture(window), colour, run)).x >= 0;
        },
        15000);
    return found;
}

// Rows just above the switch holding text in `colour`: the status line.
int statusRows(HWND window, POINT toggle, uint32_t colour) {
    const Screen screen = capture(window);
    int rows = 0;
    for (int y = std::max<int>(0, toggle.y - 30); y < toggle.y - 4; ++y) {
        bool found = false;
        for (int x = pageLeft; x < toggle.x; ++x)
            found = found || screen.at(x, y) == colour;
        rows += found;
    }
    return rows;
}

bool answerYes(const Program& program, const wchar_t* caption) {
    HWND box = nullptr;
    if (!eventually([&] { return (box = messageBoxOf(program.processId(), caption)) != nullptr; }))
        return false;
    answer(box, IDYES);
    return eventually([&] { return !messageBoxOf(program.processId(), caption); });
}

} // namespace

TEST(PerfControlFlow, AChangeAppliedThenCrashedIsUndoneByTheNextStart) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    const std::wstring countersPath = temporaryFile(L"ovra-fake-counters.txt");
    const std::wstring recovery = dataFolder() + L"\\pemulihan_performa.ini";
    const std::string before = "active " + balanced + "\nrange 0 100 1\nplan " + balanced +
                               " 100 100 Seimbang\nplan " + high + " 90 80 Performa tinggi\n";
    std::ofstream(statePath.c_str(), std::ios::binary) << before;
    std::ofstream(countersPath.c_str())
        << "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3232\n";
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    WritePrivateProfileStringW(L"umum", L"tema", L"0", (dataFolder() + L"\\settings.ini").c_str());
    const OnSimulatedPc simulated(countersPath);
    FakeSystemLibrary fake(L"powrprof", L"OVRA_FAKE_POWER", statePath);
    ASSERT_TRUE(fake.installed());
    const auto machine = [&] {
        std::string state = readFile(statePath);
        std::erase(state, '\r');
        return state;
    };
    {
        Program program;
        HWND window = program.waitForWindow();
        // The switch is off, and usable once the temperature sensor answers.
        const POINT toggle = atPageEnd(window, lightToggleOff, 10);
        ASSERT_GE(toggle.x, 0) << "the control is refused without a temperature reading";
        clickOpeningDialog(window, POINT{toggle.x + 16, toggle.y + 5});
        ASSERT_TRUE(answerYes(program, L"Persetujuan kontrol performa"));
        // The plan in force is marked; the button right of it is "Performa tinggi".
        const POINT marked = atPageEnd(window, lightAccent, 30);
        ASSERT_GE(marked.x, 0);
        const Screen screen = capture(window);
        int right = marked.x;
        while (screen.at(right, marked.y + 3) == lightAccent)
            ++right;
        clickAt(window, POINT{right + 28, marked.y + 15});
        const POINT apply = lastColumnRun(capture(window), lightAccent, 30);
        clickOpeningDialog(window, POINT{apply.x + 10, apply.y - 15});
        ASSERT_TRUE(answerYes(program, L"Konfirmasi perubahan"));
        EXPECT_TRUE(
            eventually([&] { return machine().find("active " + high) != std::string::npos; }));
        EXPECT_NE(machine().find(high + " 100 100"), std::string::npos) << "the percent in force";
        program.kill();
    }
    EXPECT_TRUE(fileExists(recovery)) << "a crash leaves the record";
    {
        Program program;
        HWND window = program.waitForWindow();
        EXPECT_TRUE(eventually([&] { return !fileExists(recovery); }));
        EXPECT_EQ(machine(), before) << "every plan and the active one are back";
        const POINT toggle = atPageEnd(window, lightToggleOff, 10);
        EXPECT_GT(statusRows(window, toggle, lightText), 0) << "the start-up message is shown";
        EXPECT_EQ(statusRows(window, toggle, lightBad), 0) << "and it reports no failure";
    }
    DeleteFileW(statePath.c_str());
    DeleteFileW(countersPath.c_str());
    removeDataFolder();
}
