// The history CSV files against real files in a fresh temporary folder.
#include "store/history.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "harness.h"
#include "sources/format.h"

namespace ovra {
namespace {

// 2024-05-01 08:03:09 UTC
constexpr uint64_t mayFirst = 133'590'241'890'000'000ull;

Sample sampleAt(uint64_t time, float cpu = 12.5f) {
    Sample sample;
    sample.time = time;
    sample.cpuPercent = cpu;
    sample.ramPercent = 50;
    sample.downloadRate = 1234.56f;
    sample.uploadRate = 0;
    sample.diskReadRate = 10;
    sample.diskWriteRate = 20;
    sample.temperature = 47;
    return sample;
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class HistoryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        historyInit(store, folder.file(L"riwayat.csv"), folder.file(L"riwayat.lama.csv"));
        exportPath = folder.file(L"ekspor.csv");
    }

    static void writeFile(const std::wstring& path, const std::string& text) {
        test::writeTextFile(path, text);
    }

    static std::string readFile(const std::wstring& path) {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static bool exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Buffers `n` rows with saving on and returns their text.
    std::string appendRows(int n, uint64_t firstTime = mayFirst) {
        std::string rows;
        store.saving = true;
        for (int i = 0; i < n; ++i) {
            const Sample sample = sampleAt(firstTime + uint64_t(i) * 20'000'000);
            rows += formatCsvRow(sample);
            historyAppend(store, sample);
        }
        return rows;
    }

    test::TempFolder folder{L"ovra-history"};
    HistoryStore store;
    std::wstring exportPath;
};

} // namespace

TEST(CsvRow, NumbersUseAFullStopAndPrintfRounding) {
    const std::string row = csvRow("T", sampleAt(0));
    EXPECT_EQ(row, "T,12.5,50.0,1235,0,10,20,47.0\r\n");

    Sample negative = sampleAt(0, -3.14f);
    negative.downloadRate = 1e9f;
    EXPECT_EQ(csvRow("T", negative), "T,-3.1,50.0,1000000000,0,10,20,47.0\r\n")
        << "no grouping, a minus sign only for a negative value";
}

TEST(CsvRow, MissingValuesAreEmptyFieldsWithSevenCommas) {
    EXPECT_EQ(csvRow("T", Sample{}), "T,,,,,,,\r\n");

    Sample noSensor = sampleAt(0);
    noSensor.temperature = missingValue;
    const std::string row = csvRow("T", noSensor);
    EXPECT_EQ(countOf(row, ","), 7u);
    EXPECT_EQ(row.substr(row.size() - 6), ",20,\r\n") << "the last field is empty";
}

TEST(CsvRow, TimeIsTheLocalTimeOfTheSample) {
    EXPECT_EQ(formatLocalTime(LocalTime{2024, 5, 1, 8, 3, 9}), L"2024-05-01 08:03:09");

    // The same instant converted through the time-zone API instead.
    SYSTEMTIME utc{2024, 5, 0, 1, 8, 3, 9, 0}, local{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    const std::wstring expected = formatLocalTime(LocalTime{
        local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
    EXPECT_EQ(localTimeText(mayFirst), expected);
    EXPECT_EQ(formatCsvRow(sampleAt(mayFirst)).substr(0, 19),
              std::string(expected.begin(), expected.end()));
}

TEST_F(HistoryFiles, ThirtiethRowCreatesTheFileWithItsHeader) {
    EXPECT_EQ(std::string(csvHeader).size(), 147u);

    std::string rows = appendRows(29);
    EXPECT_FALSE(exists(store.path)) << "29 rows stay in memory";
    rows += appendRows(1, mayFirst + 29 * 20'000'000);
    EXPECT_EQ(readFile(store.path), csvHeader + rows);
    EXPECT_EQ(store.pendingRows, 0);
    EXPECT_TRUE(store.writeBuffer.empty());

    // The next batch adds rows without a second header.
    const std::string more = appendRows(30, mayFirst + 100 * 20'000'000);
    EXPECT_EQ(readFile(store.path), csvHeader + rows + more);
}

TEST_F(HistoryFiles, EmptyFileReceivesAHeaderAndSavingOffFlushes) {
    writeFile(store.path, "");
    const std::string rows = appendRows(3);
    historySetSaving(store, false);
    EXPECT_EQ(readFile(store.path), csvHeader + rows);
    EXPECT_FALSE(store.saving);

    historyAppend(store, sampleAt(mayFirst));
    EXPECT_EQ(store.pendingRows, 0) << "nothing is buffered while saving is off";
}

TEST_F(HistoryFiles, RotatesOnlyAboveEightMebibytes) {
    const std::string row = formatCsvRow(sampleAt(mayFirst));
    const auto fillTo = [&](uint64_t bytesBeforeRow) {
        std::string text(size_t(bytesBeforeRow) - 2, 'x');
        writeFile(store.path, text + "\r\n");
    };

    fillTo(historyRotateBytes - row.size()); // exactly 8,388,608 after the flush
    appendRows(1);
    historyFlush(store);
    EXPECT_EQ(historyFileBytes(store), historyRotateBytes);
    EXPECT_FALSE(exists(store.oldPath));

    fillTo(historyRotateBytes + 1 - row.size()); // one byte more
    appendRows(1);
    historyFlush(store);
    EXPECT_FALSE(exists(store.path));
    EXPECT_EQ(historyFileBytes(store), historyRotateBytes + 1) << "a missing file counts 0";

    // The next flush starts a new file with a header.
    const std::string rows = appendRows(30);
    EXPECT_EQ(readFile(store.path), csvHeader + rows);
}

TEST_F(HistoryFiles, ExportJoinsOldThenNewFileWithOneHeader) {
    writeFile(store.oldPath, std::string(csvHeader) + "old1\r\nold2\r\n");
    writeFile(store.path, std::string(csvHeader) + "new1\r\n");
    const std::string pending = appendRows(3); // flushed by the export; the ring goes unused
    std::wstring error;
    ASSERT_TRUE(historyExport(store, exportPath, error)) << std::string(error.begin(), error.end());
    EXPECT_EQ(readFile(exportPath),
              "\xEF\xBB\xBF" + std::string(csvHeader) + "old1\r\nold2\r\nnew1\r\n" + pending);
}

TEST_F(HistoryFiles, ExportWithoutFilesWritesTheRing) {
    std::wstring error;
    ASSERT_TRUE(historyExport(store, exportPath, error));
    EXPECT_EQ(readFile(exportPath), "\xEF\xBB\xBF" + std::string(csvHeader)) << "empty ring";

    std::string rows;
    for (int i = 0; i < 3; ++i) {
        historyAppend(store, sampleAt(mayFirst + i, float(i)));
        rows += formatCsvRow(sampleAt(mayFirst + i, float(i)));
    }
    ASSERT_TRUE(historyExport(store, exportPath, error));
    EXPECT_EQ(readFile(exportPath), "\xEF\xBB\xBF" + std::string(csvHeader) + rows);

    writeFile(store.path, "header only, no line feed");
    ASSERT_TRUE(historyExport(store, exportPath, error));
    EXPECT_EQ(readFile(exportPath), "\xEF\xBB\xBF" + std::string(csvHeader))
        << "a file with content counts as used even when it adds no row";
}

TEST_F(HistoryFiles, ExportCopiesFilesLargerThanOneReadPiece) {
    // Rows spanning several pieces, with a row cut at every piece boundary.
    std::string rows;
    for (int i = 0; rows.size() < 3 * historyCopyChunkBytes + 17; ++i)
        rows += "2024-05-01 08:03:09,1.0,2.0,3,4,5,6," + std::to_string(i) + "\r\n";
    writeFile(store.path, csvHeader + rows);
    std::wstring error;
    ASSERT_TRUE(historyExport(store, exportPath, error));
    EXPECT_EQ(readFile(exportPath), "\xEF\xBB\xBF" + std::string(csvHeader) + rows);
}

TEST_F(HistoryFiles, ExportRefusesTheHistoryFilesAsDestination) {
    const std::string content = std::string(csvHeader) + "row\r\n";
    writeFile(store.path, content);
    std::wstring upper = store.path;
    for (wchar_t& c : upper)
        c = wchar_t(towupper(c));
    for (const std::wstring& destination : {store.path, upper, store.oldPath}) {
        std::wstring error;
        EXPECT_FALSE(historyExport(store, destination, error));
        EXPECT_NE(error.find(L"berkas riwayat"), std::wstring::npos);
    }
    EXPECT_EQ(readFile(store.path), content);
    EXPECT_FALSE(exists(store.oldPath));
}

TEST_F(HistoryFiles, ExportReportsADestinationThatCannotBeCreated) {
    std::wstring error;
    EXPECT_FALSE(historyExport(store, folder.file(L"tidak-ada\\ekspor.csv"), error));
    EXPECT_EQ(error, windowsErrorText(ERROR_PATH_NOT_FOUND));
}

TEST_F(HistoryFiles, ClearDeletesBothFilesAndForgetsMemory) {
    writeFile(store.path, "a\r\n");
    writeFile(store.oldPath, "b\r\n");
    appendRows(5);
    std::wstring error;
    EXPECT_TRUE(historyClear(store, error));
    EXPECT_FALSE(exists(store.path));
    EXPECT_FALSE(exists(store.oldPath));
    EXPECT_EQ(store.count, 0u);
    EXPECT_EQ(store.pendingRows, 0);
    EXPECT_TRUE(store.writeBuffer.empty());
    EXPECT_TRUE(store.saving) << "clearing leaves the saving switch alone";
    EXPECT_TRUE(historyClear(store, error)) << "absent files count as deleted";
}

TEST_F(HistoryFiles, ClearReportsAFileHeldWithoutDeleteSharing) {
    writeFile(store.path, "a\r\n");
    appendRows(3);
    HANDLE held = CreateFileW(store.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::wstring error;
    EXPECT_FALSE(historyClear(store, error));
    CloseHandle(held);
    EXPECT_EQ(error, windowsErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(store.count, 0u) << "memory is cleared in any case";
    EXPECT_TRUE(exists(store.path));
}

TEST_F(HistoryFiles, PartialLastRowGetsALineEndBeforeNewRows) {
    const std::string fragment = std::string(csvHeader) + "2024-05-01 08:00:00,1.0,2.";
    writeFile(store.path, fragment);
    const std::string rows = appendRows(30);
    EXPECT_EQ(readFile(store.path), fragment + "\r\n" + rows);

    // An old file ending in a fragment does not swallow the new file's first row.
    writeFile(store.oldPath, fragment);
    std::wstring error;
    ASSERT_TRUE(historyExport(store, exportPath, error));
    EXPECT_EQ(readFile(exportPath), "\xEF\xBB\xBF" + std::string(csvHeader) +
                                        "2024-05-01 08:00:00,1.0,2.\r\n" +
                                        "2024-05-01 08:00:00,1.0,2.\r\n" + rows);
}

TEST_F(HistoryFiles, RowsWaitWhileTheFileCannotBeWritten) {
    writeFile(store.path, csvHeader);
    // A spreadsheet that opened the file without write sharing.
    HANDLE held = CreateFileW(store.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string rows = appendRows(31);
    EXPECT_EQ(store.pendingRows, 31);
    EXPECT_EQ(store.writeBuffer, rows);
    CloseHandle(held);

    historyFlush(store);
    EXPECT_EQ(readFile(store.path), csvHeader + rows) << "nothing lost, nothing doubled";
    EXPECT_EQ(store.pendingRows, 0);
}

TEST_F(HistoryFiles, WaitingRowsAreBoundedKeepingTheNewest) {
    writeFile(store.path, csvHeader);
    HANDLE held = CreateFileW(store.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    appendRows(5, mayFirst);
    const std::string newest = appendRows(historyMaxPendingRows, mayFirst + 1'000'000'000);
    CloseHandle(held);
    EXPECT_EQ(store.pendingRows, historyMaxPendingRows);
    EXPECT_EQ(store.writeBuffer, newest) << "the five oldest rows were dropped";
}

} // namespace ovra
