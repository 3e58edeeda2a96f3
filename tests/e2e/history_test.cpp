// The history file a user finds with saving switched on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"

using namespace e2e;

namespace {

const std::string header = "waktu_lokal,cpu_persen,ram_persen,unduh_byte_per_detik,"
                           "unggah_byte_per_detik,baca_disk_byte_per_detik,"
                           "tulis_disk_byte_per_detik,suhu_maks_celsius";

// A fresh data folder whose settings.ini saves the history every second.
void saveHistoryEverySecond() {
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring path = dataFolder() + L"\\settings.ini";
    WritePrivateProfileStringW(L"umum", L"riwayat_disimpan", L"1", path.c_str());
    WritePrivateProfileStringW(L"umum", L"interval_cepat_ms", L"1000", path.c_str());
}

std::wstring historyPath() {
    return dataFolder() + L"\\riwayat.csv";
}

// The file's lines; every line must end in CR LF.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF: " << text.substr(start);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// "2024-05-01 08:03:09" followed by seven fields, numbers with a full stop.
void expectRow(const std::string& row) {
    ASSERT_GE(row.size(), 19u) << row;
    for (size_t i : {4u, 7u})
        EXPECT_EQ(row[i], '-') << row;
    EXPECT_EQ(row[10], ' ') << row;
    EXPECT_EQ(row[13], ':') << row;
    EXPECT_EQ(row[16], ':') << row;
    size_t commas = 0;
    for (char c : row.substr(19)) {
        if (c == ',')
            ++commas;
        else
            EXPECT_TRUE((c >= '0' && c <= '9') || c == '.' || c == '-') << row;
    }
    EXPECT_EQ(commas, 7u) << row;
}

} // namespace

TEST(History, SavingOnWritesTheHeaderAndThirtyRowsAfterThirtyTicks) {
    saveHistoryEverySecond();
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    Sleep(5000);
    EXPECT_EQ(readFile(historyPath()), "") << "rows wait in memory until the 30th";

    ASSERT_TRUE(eventually([] { return !readFile(historyPath()).empty(); }, 60000));
    const std::vector<std::string> lines = linesOf(readFile(historyPath()));
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0], header);
    for (size_t i = 1; i < lines.size(); ++i)
        expectRow(lines[i]);
    EXPECT_LE(lines[1].substr(0, 19), lines[30].substr(0, 19)) << "oldest row first";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}

TEST(History, PendingRowsAreWrittenWhenTheSessionEnds) {
    saveHistoryEverySecond();
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    Sleep(3500);
    ASSERT_EQ(readFile(historyPath()), "");

    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_ABORTIFHUNG, 10000, &answer),
              0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the shutdown is never blocked";
    const std::vector<std::string> lines = linesOf(readFile(historyPath()));
    ASSERT_GE(lines.size(), 3u) << "a few ticks' rows";
    ASSERT_LT(lines.size(), 31u);
    EXPECT_EQ(lines[0], header);
    for (size_t i = 1; i < lines.size(); ++i)
        expectRow(lines[i]);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}
