// The whole way of a power change on a simulated PC whose power plans live in
// the stand-in powrprof.dll: consent, a plan and a limit chosen on the page,
// applied after the confirmation; a crash leaves it in force, and the next start
// puts every value back and says so on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

const std::string balanced = "{381B4222-F694-41F0-9685-FF5BB260DF2E}";
const std::string high = "{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}";
constexpr uint32_t lightText = rgb(0x1C, 0x21, 0x27), lightBad = rgb(0xC4, 0x32, 0x28);
constexpr uint32_t lightBorder = rgb(0xDE, 0xE2, 0xE7);

std::wstring temporaryFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

void writeText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

// The first place drawn in `colour` (a column of `run` pixels) at the end of the
// performance-control page, once there is one.
POINT atPageEnd(HWND window, uint32_t colour, int run) {
    POINT found{-1, -1};
    if (!eventually([&] { return pageBackground(window) == lightBackground; })) return found;
    clickAt(window, sidebarItem(7));
    eventually([&] {
        deliver(window, WM_KEYDOWN, VK_END, 0);
        settle(window);
        return (found = firstColumnRun(capture(window), colour, run)).x >= 0;
    }, 15000);
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

bool answerYes(const Program& program, const wchar_t* caption, std::wstring& text) {
    HWND box = nullptr;
    if (!eventually([&] { return (box = messageBoxOf(program.processId(), caption)) != nullptr; }))
        return false;
    text = messageBoxText(box);
    answer(box, IDYES);
    return eventually([&] { return !messageBoxOf(program.processId(), caption); });
}

} // namespace

TEST(PerfControlFlow, AChangeAppliedThenCrashedIsUndoneByTheNextStart) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    const std::wstring recovery = dataFolder() + L"\\pemulihan_performa.ini";
    const std::string before = "active " + balanced + "\nrange 0 100 1\nplan " + balanced +
                               " 100 100 Seimbang\nplan " + high + " 100 100 Performa tinggi\n";
    writeText(statePath, before);
    const std::wstring countersPath = temporaryFile(L"ovra-fake-counters.txt");
    writeText(countersPath, "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3232\n");
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
        std::wstring text;
        clickOpeningDialog(window, POINT{toggle.x + 16, toggle.y + 5});
        ASSERT_TRUE(answerYes(program, L"Persetujuan kontrol performa", text));

        // The plan in force is marked; the button right of it is "Performa tinggi".
        const POINT marked = atPageEnd(window, lightAccent, 30);
        ASSERT_GE(marked.x, 0);
        Screen screen = capture(window);
        int right = marked.x;
        while (screen.at(right, marked.y + 3) == lightAccent)
            ++right;
        clickAt(window, POINT{right + 28, marked.y + 15});
        // The processor limit's stepper is the first box below the plans; its minus
        // cell takes 5 % a click.
        screen = capture(window);
        const auto edge = [&](int y) {
            for (int x = marked.x + 10; x < marked.x + 60; ++x)
                if (screen.at(x, y) != lightBorder) return false;
            return true;
        };
        int stepper = marked.y + 33;
        while (stepper < screen.height && !edge(stepper))
            ++stepper;
        for (int click = 0; click < 3; ++click)
            clickAt(window, POINT{marked.x + 15, stepper + 15});
        deliver(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        const POINT apply = lastColumnRun(capture(window), lightAccent, 30);
        clickOpeningDialog(window, POINT{apply.x + 10, apply.y - 15});
        ASSERT_TRUE(answerYes(program, L"Konfirmasi perubahan", text));
        EXPECT_NE(text.find(L"Rencana daya: Performa tinggi\nStatus prosesor maksimum: 85%"),
                  std::wstring::npos);
        EXPECT_TRUE(
            eventually([&] { return machine().find("active " + high) != std::string::npos; }));
        EXPECT_NE(machine().find(high + " 85 85"), std::string::npos) << machine();
        program.kill();
        EXPECT_EQ(program.waitForExit(0), 1u);
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
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0u);
    }
    DeleteFileW(statePath.c_str());
    DeleteFileW(countersPath.c_str());
    removeDataFolder();
}
