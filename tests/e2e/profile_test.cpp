// The timing profile of the running program: on only when OVRA_PROFILE has a value.
#include <gtest/gtest.h>

#include <regex>

#include "driver.h"

using namespace e2e;

namespace {

std::wstring reportPath() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, length) + L"ovra-profile.txt";
}

bool reportExists() {
    return GetFileAttributesW(reportPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Forces `paints` repaints of the window, one at a time.
void forcePaints(HWND window, int paints) {
    for (int i = 0; i < paints; ++i) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Sleep(20);
    }
}

// Runs the program with the variable as given (null: absent), paints it `paints`
// times and closes it.
void runWithProfile(const wchar_t* value, int paints, bool waitForReport) {
    DeleteFileW(reportPath().c_str());
    SetEnvironmentVariableW(L"OVRA_PROFILE", value);
    Program program;
    SetEnvironmentVariableW(L"OVRA_PROFILE", nullptr);
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    forcePaints(window, paints);
    if (waitForReport) {
        EXPECT_TRUE(eventually([&] {
            forcePaints(window, 1);
            return reportExists();
        }));
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}

} // namespace

TEST(Profile, ReportAfterTwentyPaintsWithFourExactLines) {
    runWithProfile(L"1", 25, true);
    const std::string report = readFile(reportPath());
    const std::regex line(
        R"((gambar        |sampel_cepat  |sampel_lambat |sampel_proses ) n=[ 0-9]{5})"
        R"( rata2=[ 0-9]{4,}\.[0-9]{2} ms maks=[ 0-9]{4,}\.[0-9]{2} ms\r\n)");
    std::string rest = report;
    int lines = 0;
    std::smatch match;
    while (std::regex_search(rest, match, line, std::regex_constants::match_continuous)) {
        ++lines;
        rest = match.suffix();
    }
    EXPECT_EQ(lines, 4) << report;
    EXPECT_TRUE(rest.empty()) << report;
    EXPECT_EQ(report.rfind("gambar         n=", 0), 0u) << report;
    EXPECT_NE(report.find("sampel_proses  n=    0 rata2=   0.00 ms maks=   0.00 ms"),
              std::string::npos)
        << "the process tick never runs off its page: " << report;
    DeleteFileW(reportPath().c_str());
}

TEST(Profile, NoReportWhenTheVariableIsAbsentOrEmpty) {
    runWithProfile(nullptr, 45, false);
    EXPECT_FALSE(reportExists()) << "absent";
    runWithProfile(L"", 45, false);
    EXPECT_FALSE(reportExists()) << "empty";
}
