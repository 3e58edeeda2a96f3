// The real program on the simulated PC (tests/fixtures/fake_pdh.cpp): the counters
// of the state file reach what a user finds, here the history file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

// The fields of the last row of a CSV text (CR LF lines).
std::vector<std::string> lastRowFields(const std::string& text) {
    const size_t end = text.rfind("\r\n");
    if (end == std::string::npos || end == 0) return {};
    const size_t start = text.rfind("\r\n", end - 1);
    const std::string row = text.substr(start == std::string::npos ? 0 : start + 2,
                                        end - (start == std::string::npos ? 0 : start + 2));
    std::vector<std::string> fields;
    size_t from = 0;
    for (size_t comma; (comma = row.find(',', from)) != std::string::npos; from = comma + 1)
        fields.push_back(row.substr(from, comma - from));
    fields.push_back(row.substr(from));
    return fields;
}

} // namespace

TEST(SimulatedPc, ItsCountersReachTheHistoryFile) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring statePath =
        std::wstring(temp) + L"ovra-e2e-pc-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    {
        std::ofstream state(statePath.c_str(), std::ios::binary | std::ios::trunc);
        state << "\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
                 "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 2048\n"
                 "\\LogicalDisk(_Total)\\Disk Read Bytes/sec = 1048576\n"
                 "\\LogicalDisk(_Total)\\Disk Write Bytes/sec = 2048\n"
                 "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3232\n";
    }
    const OnSimulatedPc simulated(statePath);

    // Saving on, one tick a second; the end of the session writes the rows.
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring settings = dataFolder() + L"\\settings.ini";
    WritePrivateProfileStringW(L"umum", L"riwayat_disimpan", L"1", settings.c_str());
    WritePrivateProfileStringW(L"umum", L"interval_cepat_ms", L"1000", settings.c_str());

    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    Sleep(3500);
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_ABORTIFHUNG, 10000, &answer),
              0);

    // waktu, cpu, ram, unduh, unggah, baca disk, tulis disk, suhu
    const std::vector<std::string> fields =
        lastRowFields(readFile(dataFolder() + L"\\riwayat.csv"));
    ASSERT_EQ(fields.size(), 8u);
    EXPECT_DOUBLE_EQ(std::stod(fields[5]), 1048576.0);
    EXPECT_DOUBLE_EQ(std::stod(fields[6]), 2048.0);
    EXPECT_NEAR(std::stod(fields[7]), 50.05, 0.1); // 3232 tenths of kelvin

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    DeleteFileW(statePath.c_str());
}
