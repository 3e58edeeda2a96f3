// The history file with saving on: written as the session ends and again at close.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {
// The file's lines, each of which must end in CR LF.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) return {"a line without CR LF: " + text.substr(start)};
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}
} // namespace

TEST(History, RowsAreWrittenWhenTheSessionEndsAndWhenTheWindowCloses) {
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring settings = dataFolder() + L"\\settings.ini",
                       csv = dataFolder() + L"\\riwayat.csv";
    WritePrivateProfileStringW(L"umum", L"riwayat_disimpan", L"1", settings.c_str());
    WritePrivateProfileStringW(L"umum", L"interval_cepat_ms", L"1000", settings.c_str());
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    Sleep(3500);
    deliver(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    const std::vector<std::string> atSessionEnd = linesOf(readFile(csv));
    Sleep(2500);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    const std::vector<std::string> lines = linesOf(readFile(csv));
    ASSERT_GE(atSessionEnd.size(), 3u) << "a few ticks' rows";
    ASSERT_GT(lines.size(), atSessionEnd.size()) << "the rows since, written at close";
    EXPECT_EQ(lines[0].rfind("waktu_lokal,cpu_persen,", 0), 0u);
    EXPECT_TRUE(std::equal(atSessionEnd.begin(), atSessionEnd.end(), lines.begin()));
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16]; // rows of today: the local date, year, month and day in that order
    snprintf(date, sizeof date, "%04u-%02u-%02u ", now.wYear, now.wMonth, now.wDay);
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(date, 0), 0u) << lines[i];
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 7) << lines[i];
        EXPECT_TRUE(i == 1 || lines[i - 1].substr(0, 19) <= lines[i].substr(0, 19)) << lines[i];
    }
}
