// Power settings left changed by a run that crashed are put back by the next
// start, on a simulated PC whose power plans live in a fake powrprof.dll.
#include <gtest/gtest.h>

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
