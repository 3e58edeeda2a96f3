// The history: the ring, the rows, and the files in a fresh folder, where a second handle
// sharing only reading plays a spreadsheet holding a file open.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "harness.h"
#include "sources/format.h"
#include "store/history.h"

namespace ovra {
namespace {

const std::string header = csvHeader, bom = "\xEF\xBB\xBF";

std::string readFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Another program's handle on a file, until the end of the scope.
using Held = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;
Held hold(const std::wstring& path, DWORD share) {
    return {CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr),
            CloseHandle};
}

class HistoryFiles : public ::testing::Test {
protected:
    // Appends n samples a second apart and returns their rows, all of one length.
    std::string append(int n) {
        std::string rows;
        for (int i = 0; i < n; ++i, time += 10'000'000) {
            const Sample sample{time, float(i % 10)};
            rows += formatCsvRow(sample);
            historyAppend(store, sample);
        }
        return rows;
    }
    std::string exported() {
        std::wstring error;
        EXPECT_TRUE(historyExport(store, folder.file(L"ekspor.csv"), error));
        return readFile(folder.file(L"ekspor.csv"));
    }
    test::TempFolder folder{L"ovra-history"};
    const std::wstring path = folder.file(L"riwayat.csv"),
                       oldPath = folder.file(L"riwayat.lama.csv");
    HistoryStore store{.saving = true, .path = path, .oldPath = oldPath};
    uint64_t time = 133'590'241'890'000'000ull; // 2024-05-01 08:03:09 UTC
};

} // namespace

TEST_F(HistoryFiles, TheThirtiethRowWritesTheBatchUnderOneHeader) {
    test::writeTextFile(path, ""); // left empty by an editor
    std::string rows = append(historyFlushRows);
    EXPECT_EQ(readFile(path), header + rows);
    // A power cut left half a row: it keeps its own line, the batch starts on the next.
    test::writeTextFile(path, header + "2024-05-01 08:00:00,1.");
    rows = append(3);
    historySetSaving(store, false); // writes what waits
    append(30);
    EXPECT_EQ(readFile(path), header + "2024-05-01 08:00:00,1.\r\n" + rows);
}

TEST_F(HistoryFiles, RotationAboveTheLimitThenExportInTimeOrder) {
    std::string row = append(1), rotated;
    for (uint64_t size : {historyRotateBytes, historyRotateBytes + 1}) {
        test::writeTextFile(path, std::string(size - row.size() - 2, 'x') + "\r\n");
        historyFlush(store);
        EXPECT_EQ(readFile(path).empty(), size > historyRotateBytes);
        rotated = row;
        row = append(1);
    }
    const std::string rows = row + append(29), waiting = append(2);
    EXPECT_EQ(readFile(path), header + rows) << "a new file starts with its header";
    EXPECT_EQ(exported(), bom + header + rotated + rows + waiting);
}

// Rows wait (the newest, bounded), the export has each once, the file is tried once a batch.
TEST_F(HistoryFiles, WhileTheFileIsHeldRowsWaitAndTheExportHasThemAll) {
    test::writeTextFile(oldPath, header + "old\r\n");
    test::writeTextFile(path, header + "new\r\n");
    Held sheet = hold(path, FILE_SHARE_READ);
    append(5);
    std::string rows = append(historyMaxPendingRows);
    EXPECT_EQ(exported(), bom + header + "old\r\nnew\r\n" + rows);
    sheet.reset();
    rows += append(historyFlushRows - 1); // the export tried last
    EXPECT_EQ(readFile(path), header + "new\r\n") << "released, but the next try waits";
    rows += append(1);
    rows.erase(0, historyFlushRows * (rows.find('\n') + 1));
    EXPECT_EQ(readFile(path), header + "new\r\n" + rows);
    const Held exclusive = hold(path, 0);
    std::wstring error;
    EXPECT_FALSE(historyExport(store, folder.file(L"ekspor.csv"), error));
    EXPECT_EQ(error, windowsErrorText(ERROR_SHARING_VIOLATION));
}

TEST_F(HistoryFiles, AWriteCutPartWayRetriesOnlyTheRest) {
    const std::string rows = append(3);
    const size_t rowEnd = rows.find('\n') + 1;
    for (size_t written : {size_t(0), rowEnd, rowEnd + 5}) {
        HistoryStore cut = store;
        test::writeTextFile(path, header + rows.substr(0, written));
        historyRowsWritten(cut, written, header.size() + written);
        historyFlush(cut);
        EXPECT_EQ(readFile(path), header + rows) << written;
    }
}

TEST_F(HistoryFiles, ABlockedRotationStopsTheFileAtTwiceTheLimit) {
    const std::string full = header + std::string(2 * historyRotateBytes - header.size() - 2, 'x');
    test::writeTextFile(path, full + "\r\n");
    test::writeTextFile(oldPath, header);
    Held sheet = hold(oldPath, FILE_SHARE_READ);
    const std::string waiting = append(30);
    EXPECT_EQ(historyFileBytes(store), 2 * historyRotateBytes + header.size());
    EXPECT_NE(store.unsavedReason.find(L"dirotasi"), std::wstring::npos);
    sheet.reset();
    historyFlush(store);
    EXPECT_EQ(readFile(path), header + waiting) << "rotated at the next try";
    EXPECT_EQ(exported(), bom + full + "\r\n" + waiting);
}

TEST_F(HistoryFiles, ExportOfTheRingAndAFailedExportLeavesTheDestination) {
    store.saving = false;
    const std::string rows = append(3);
    EXPECT_EQ(exported(), bom + header + rows) << "no file: the ring";
    const Held sheet = hold(folder.file(L"ekspor.csv"), FILE_SHARE_READ);
    std::wstring error;
    EXPECT_FALSE(historyExport(store, folder.file(L"ekspor.csv"), error));
    EXPECT_FALSE(historyExport(store, path, error)) << "the history file itself";
    EXPECT_EQ(readFile(folder.file(L"ekspor.csv")), bom + header + rows);
    WIN32_FIND_DATAW found;
    EXPECT_EQ(FindFirstFileW(folder.file(L"*.tmp").c_str(), &found), INVALID_HANDLE_VALUE);
}

TEST(History, TheRingKeepsTheNewestAndRowsUseAFullStop) {
    HistoryStore store;
    for (uint64_t t = 1; t <= historyCapacity + 1; ++t)
        historyAppend(store, Sample{t});
    EXPECT_EQ(historyAt(store, 0).time, 2u) << "the first sample gave way";
    EXPECT_EQ(historyAt(store, historyCapacity - 1).time, historyCapacity + 1);
    EXPECT_EQ(csvRow("T", {0, 12.5f, 50, 1234.56f, 0, 10, 20, 47}),
              "T,12.5,50.0,1235,0,10,20,47.0\r\n");
    EXPECT_EQ(csvRow("T", {0, -3.14f, 50, 1e9f, 0, 10, 20}), "T,-3.1,50.0,1000000000,0,10,20,\r\n");
    EXPECT_EQ(csvRow("T", {}), "T,,,,,,,\r\n");
}

} // namespace ovra
