// The history file's figures: CSV row formatting and export throughput.
#include <windows.h>

#include <cstdio>
#include <string>

#include "harness.h"
#include "store/history.h"

using namespace ovra;

namespace {

Sample sampleAt(uint64_t time) {
    Sample sample;
    sample.time = time;
    sample.cpuPercent = 12.5f;
    sample.ramPercent = 63.25f;
    sample.downloadRate = 1234.56f;
    sample.uploadRate = 98765.4f;
    sample.diskReadRate = 1048576.0f;
    sample.diskWriteRate = 0;
    sample.temperature = 47.0f;
    return sample;
}

// A full ring's rows against the bare work of a row: the local-time conversion
// and one printf of the same eight fields.
void rowFigure() {
    const uint64_t start = 133'590'241'890'000'000ull;
    std::string rows;
    const double row = bench::perCallMs(
        [&] {
            rows.clear();
            for (uint64_t i = 0; i < historyCapacity; ++i)
                rows += formatCsvRow(sampleAt(start + i * 20'000'000));
        },
        5, 3);
    const double baseline = bench::perCallMs(
        [&] {
            rows.clear();
            for (uint64_t i = 0; i < historyCapacity; ++i) {
                const Sample sample = sampleAt(start + i * 20'000'000);
                FILETIME utc{DWORD(sample.time), DWORD(sample.time >> 32)}, local;
                SYSTEMTIME fields;
                FileTimeToLocalFileTime(&utc, &local);
                FileTimeToSystemTime(&local, &fields);
                char text[160];
                const int length = std::snprintf(
                    text, sizeof text,
                    "%04u-%02u-%02u %02u:%02u:%02u,%.1f,%.1f,%.0f,%.0f,%.0f,%.0f,%.1f\r\n",
                    fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute,
                    fields.wSecond, double(sample.cpuPercent), double(sample.ramPercent),
                    double(sample.downloadRate), double(sample.uploadRate),
                    double(sample.diskReadRate), double(sample.diskWriteRate),
                    double(sample.temperature));
                rows.append(text, size_t(length));
            }
        },
        5, 3);
    bench::report("4. CSV rows of a full ring vs snprintf", row, baseline, "ms", 2.0);
}

// Exporting a history file at its rotation size against copying it.
void exportFigure() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"ovra-bench-history";
    CreateDirectoryW(folder.c_str(), nullptr);
    HistoryStore store;
    historyInit(store, folder + L"\\riwayat.csv", folder + L"\\riwayat.lama.csv");
    const std::wstring exported = folder + L"\\ekspor.csv", copied = folder + L"\\salinan.csv";

    std::string text = csvHeader;
    const std::string row = formatCsvRow(sampleAt(133'590'241'890'000'000ull));
    while (text.size() + row.size() <= historyRotateBytes)
        text += row;
    HANDLE file = CreateFileW(store.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);

    std::wstring error;
    const double exporting = bench::perCallMs([&] { historyExport(store, exported, error); }, 5, 3);
    const double copying =
        bench::perCallMs([&] { CopyFileW(store.path.c_str(), copied.c_str(), FALSE); }, 5, 3);
    bench::report("4. export of an 8 MiB history file vs a copy", exporting, copying, "ms", 3.0);
    for (const std::wstring& path : {store.path, exported, copied})
        DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace

void historyFigures() {
    rowFigure();
    exportFigure();
}
