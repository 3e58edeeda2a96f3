// Power settings left changed by a run that crashed are put back by the next
// start, on a simulated PC whose power plans live in a fake powrprof.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

const wchar_t balanced[] = L"{381B4222-F694-41F0-9685-FF5BB260DF2E}";
const wchar_t powerSaver[] = L"{A1841308-3541-4FAB-BC81-F71556F20B4A}";
const wchar_t highPerformance[] = L"{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}";

std::wstring recoveryPath() {
    return dataFolder() + L"\\pemulihan_performa.ini";
}

std::wstring temporaryFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

void writeText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ascii(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The simulated PC's plans: Balanced, High performance, and the power-saver plan
// at `saver` with `active` in force.
void writeMachine(const std::wstring& statePath, const wchar_t* active, const std::string& saver) {
    writeText(statePath, "active " + ascii(active) + "\nrange 0 100 1\n" + "plan " +
                             ascii(balanced) + " 100 100 Seimbang\n" + "plan " +
                             ascii(highPerformance) + " 100 100 Performa tinggi\n" + "plan " +
                             ascii(powerSaver) + " " + saver + " Penghemat daya\n");
}

// What the program records when it changes the power-saver plan (70 % and 60 %
// before, Balanced active).
void recordChange() {
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring path = recoveryPath();
    WritePrivateProfileStringW(L"asli", L"aktif", balanced, path.c_str());
    WritePrivateProfileStringW(L"asli", L"jumlah", L"1", path.c_str());
    WritePrivateProfileStringW(L"asli", L"skema0", powerSaver, path.c_str());
    WritePrivateProfileStringW(L"asli", L"ac0", L"70", path.c_str());
    WritePrivateProfileStringW(L"asli", L"dc0", L"60", path.c_str());
}

// What a run that crashed after changing the power-saver plan leaves behind: the
// plan active at 50 %, and the record of the values before.
void leaveACrashedChange(const std::wstring& statePath) {
    writeMachine(statePath, powerSaver, "50 50");
    removeDataFolder();
    recordChange();
}

bool restoredToTheRecord(const std::string& state) {
    return state.find("active " + ascii(balanced)) != std::string::npos &&
           state.find("plan " + ascii(powerSaver) + " 70 60 Penghemat daya") != std::string::npos;
}

} // namespace

TEST(PerfRecovery, NextStartRestoresWhatACrashLeftChanged) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    leaveACrashedChange(statePath);
    {
        FakeSystemLibrary fake(L"powrprof", L"OVRA_FAKE_POWER", statePath);
        ASSERT_TRUE(fake.installed());
        Program program;
        HWND window = program.waitForWindow();
        ASSERT_NE(window, nullptr);
        // The window exists from its creation message on, while the start-up still runs.
        EXPECT_TRUE(eventually([] { return !fileExists(recoveryPath()); }))
            << "a fully restored change leaves no record";
        const std::string state = readFile(statePath);
        EXPECT_TRUE(restoredToTheRecord(state)) << state;
        EXPECT_NE(state.find("plan " + ascii(highPerformance) + " 100 100"), std::string::npos)
            << "a plan that was not changed is not touched\n"
            << state;
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0u);
    }
    DeleteFileW(statePath.c_str());
    removeDataFolder();
}

// With Wine's own, incomplete powrprof nothing can be restored: the program runs
// and keeps the record for a start that can.
TEST(PerfRecovery, WithoutAUsablePowerLibraryTheRecordIsKept) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    leaveACrashedChange(statePath);
    {
        Program program;
        HWND window = program.waitForWindow();
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0u);
    }
    EXPECT_TRUE(fileExists(recoveryPath()));
    EXPECT_NE(readFile(statePath).find("plan " + ascii(powerSaver) + " 50 50"), std::string::npos);
    DeleteFileW(statePath.c_str());
    removeDataFolder();
}

// A change in force while no temperature sensor can be read (Wine has no thermal
// zone) is undone at the next fast tick, and the tray says so.
TEST(PerfRecovery, ActiveChangeWithoutATemperatureSensorIsUndoneAtTheNextTick) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    writeMachine(statePath, balanced, "70 60");
    removeDataFolder();
    FakeSystemLibrary fake(L"powrprof", L"OVRA_FAKE_POWER", statePath);
    ASSERT_TRUE(fake.installed());
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    settle(window);

    // The change as the program makes it: the record first, then the plan.
    recordChange();
    writeMachine(statePath, powerSaver, "50 50");
    EXPECT_TRUE(eventually([] { return !fileExists(recoveryPath()); }, 15000));
    EXPECT_TRUE(restoredToTheRecord(readFile(statePath))) << readFile(statePath);
    if (FindWindowW(L"Shell_TrayWnd", nullptr)) {
        EXPECT_TRUE(eventually([&] { return balloonShown(program.processId()); }, 10000))
            << "the automatic restore shows as a balloon";
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    DeleteFileW(statePath.c_str());
    removeDataFolder();
}

namespace {

constexpr int perfControlPage = 7;
constexpr uint32_t lightText = rgb(0x1C, 0x21, 0x27), lightBad = rgb(0xC4, 0x32, 0x28);
constexpr uint32_t lightBorder = rgb(0xDE, 0xE2, 0xE7);
// The border of the restore button: the card's white halfway to the error colour.
constexpr uint32_t restoreBorder = rgb(0xE2, 0x99, 0x94);

// The program's window, in the light theme, showing the performance-control page.
HWND showControlCard(Program& program) {
    HWND window = program.waitForWindow();
    if (!window || !eventually([&] { return pageBackground(window) == lightBackground; }))
        return nullptr;
    clickAt(window, sidebarItem(perfControlPage));
    return window;
}

// The simulated machine's lines, whichever line ends the fake wrote.
std::string machineState(const std::wstring& statePath) {
    std::string state = readFile(statePath);
    state.erase(std::remove(state.begin(), state.end(), '\r'), state.end());
    return state;
}

void moveAway(HWND window) {
    deliver(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
}

// The end of the page as it is now drawn: a page that grew since the last look
// scrolls on to its new end.
Screen endOfPage(HWND window) {
    deliver(window, WM_KEYDOWN, VK_END, 0);
    settle(window);
    return capture(window);
}

void useLightTheme() {
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    WritePrivateProfileStringW(L"umum", L"tema", L"0", (dataFolder() + L"\\settings.ini").c_str());
}

// The rows between the restore button and the switch below it that show text
// in `colour`: the status line of the last action, when there is one.
int messageRows(const Screen& screen, POINT toggle, uint32_t colour) {
    int top = toggle.y;
    for (int y = toggle.y; y >= 0 && top == toggle.y; --y)
        for (int x = pageLeft; x < screen.width; ++x)
            if (screen.at(x, y) == restoreBorder) {
                top = y;
                break;
            }
    int rows = 0;
    for (int y = top + 1; y < toggle.y - 4; ++y)
        for (int x = pageLeft; x < toggle.x; ++x)
            if (screen.at(x, y) == colour) {
                ++rows;
                break;
            }
    return rows;
}

// Waits for the box of the process with this caption, keeps its text and
// answers it with Yes.
bool answerYes(const Program& program, const wchar_t* caption, std::wstring& text) {
    HWND box = nullptr;
    if (!eventually([&] { return (box = messageBoxOf(program.processId(), caption)) != nullptr; }))
        return false;
    text = messageBoxText(box);
    answer(box, IDYES);
    return eventually([&] { return messageBoxOf(program.processId(), caption) == nullptr; });
}

} // namespace

// The whole way of a change: consent, a plan and a limit chosen on the page,
// applied after the confirmation; a crash leaves it in force, and the next start
// puts every value back and says so on the page.
TEST(PerfControlFlow, AChangeAppliedThenCrashedIsUndoneByTheNextStart) {
    const std::wstring statePath = temporaryFile(L"ovra-fake-power.txt");
    const std::wstring countersPath = temporaryFile(L"ovra-fake-counters.txt");
    writeMachine(statePath, balanced, "70 60");
    const std::string before = machineState(statePath);
    writeText(countersPath, "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3232\n");
    removeDataFolder();
    useLightTheme();
    const OnSimulatedPc simulated(countersPath);
    FakeSystemLibrary fake(L"powrprof", L"OVRA_FAKE_POWER", statePath);
    ASSERT_TRUE(fake.installed());
    {
        Program program;
        HWND window = showControlCard(program);
        ASSERT_NE(window, nullptr);
        // The switch is off and usable once the temperature sensor answers.
        POINT toggle{-1, -1};
        ASSERT_TRUE(eventually(
            [&] {
                toggle = firstColumnRun(endOfPage(window), lightToggleOff, 10);
                return toggle.x >= 0;
            },
            15000))
            << "the control is refused without a temperature reading";
        EXPECT_EQ(messageRows(capture(window), toggle, lightText), 0)
            << "no message on a clean start";

        std::wstring text;
        clickOpeningDialog(window, POINT{toggle.x + 16, toggle.y + 5});
        ASSERT_TRUE(answerYes(program, L"Persetujuan kontrol performa", text));
        EXPECT_NE(text.find(L"PERINGATAN"), std::wstring::npos) << ascii(text);

        // The plan in force is the first one marked; the next button is "Performa tinggi".
        POINT marked{-1, -1};
        ASSERT_TRUE(eventually([&] {
            marked = firstColumnRun(endOfPage(window), lightAccent, 30);
            return marked.x >= 0;
        }));
        Screen screen = capture(window);
        const int row = marked.y + 3; // above the label
        int left = marked.x, right = marked.x;
        while (left > pageLeft && screen.at(left - 1, row) == lightAccent)
            --left;
        while (right < screen.width && screen.at(right, row) == lightAccent)
            ++right;
        clickAt(window, POINT{right + 8 + 20, marked.y + 15});
        moveAway(window); // a hovered button is drawn in another colour
        ASSERT_TRUE(eventually([&] {
            const POINT now = firstColumnRun(capture(window), lightAccent, 30);
            return now.y == marked.y && now.x > right;
        })) << "the chosen plan is marked";

        // The processor limit's stepper is the first box drawn below the plans,
        // starting at their left edge; its minus cell takes 5 % a click.
        screen = capture(window);
        int stepperTop = -1;
        for (int y = marked.y + 33; y < screen.height && stepperTop < 0; ++y) {
            bool edge = true;
            for (int x = left + 10; x < left + 60; ++x)
                edge = edge && screen.at(x, y) == lightBorder;
            if (edge) stepperTop = y;
        }
        ASSERT_GE(stepperTop, 0);
        for (int click = 0; click < 3; ++click)
            clickAt(window, POINT{left + 15, stepperTop + 15});
        moveAway(window);

        // The apply button is the lowest marked button.
        const POINT apply = lastColumnRun(capture(window), lightAccent, 30);
        ASSERT_GE(apply.x, 0);
        clickOpeningDialog(window, POINT{apply.x + 10, apply.y - 15});
        ASSERT_TRUE(answerYes(program, L"Konfirmasi perubahan", text));
        EXPECT_NE(text.find(L"Rencana daya: Performa tinggi"), std::wstring::npos) << ascii(text);
        EXPECT_NE(text.find(L"Status prosesor maksimum: 85%"), std::wstring::npos) << ascii(text);

        std::string state;
        EXPECT_TRUE(eventually([&] {
            state = readFile(statePath);
            return state.find("active " + ascii(highPerformance)) != std::string::npos;
        })) << state;
        EXPECT_NE(state.find("plan " + ascii(highPerformance) + " 85 85"), std::string::npos)
            << state;
        EXPECT_TRUE(fileExists(recoveryPath())) << "the values before are on record";

        program.kill();
        EXPECT_EQ(program.waitForExit(0), 1u);
    }
    EXPECT_TRUE(fileExists(recoveryPath())) << "a crash leaves the record";
    EXPECT_NE(machineState(statePath), before) << "and the change in force";
    {
        Program program;
        HWND window = showControlCard(program);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(eventually([] { return !fileExists(recoveryPath()); }))
            << "a fully restored change leaves no record";
        EXPECT_EQ(machineState(statePath), before) << "every plan and the active one are back";
        POINT toggle{-1, -1};
        ASSERT_TRUE(eventually(
            [&] {
                toggle = firstColumnRun(endOfPage(window), lightToggleOff, 10);
                return toggle.x >= 0;
            },
            15000));
        const Screen screen = capture(window);
        EXPECT_GT(messageRows(screen, toggle, lightText), 0) << "the start-up message is shown";
        EXPECT_EQ(messageRows(screen, toggle, lightBad), 0) << "and it reports no failure";
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.waitForExit(), 0u);
    }
    DeleteFileW(statePath.c_str());
    DeleteFileW(countersPath.c_str());
    removeDataFolder();
}
