#pragma once
// The history of the main metrics: the last 1800 samples in memory, and (when the
// user switches saving on) the rows waiting to be written to the CSV file.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace ovra {

inline constexpr float missingValue = std::numeric_limits<float>::quiet_NaN();

// True when a sample field holds a value (a missing value is NaN, which is
// unequal to itself).
inline bool hasValue(float value) {
    return value == value;
}

// One history point. The field order is the CSV column order.
struct Sample {
    uint64_t time = 0; // FILETIME, UTC, 100-ns units since 1601-01-01
    float cpuPercent = missingValue;
    float ramPercent = missingValue;
    float downloadRate = missingValue;  // bytes per second, all adapters
    float uploadRate = missingValue;    // bytes per second, all adapters
    float diskReadRate = missingValue;  // bytes per second, all drives
    float diskWriteRate = missingValue; // bytes per second, all drives
    float temperature = missingValue;   // hottest official sensor, degrees Celsius
};

inline constexpr uint64_t historyCapacity = 1800;
inline constexpr uint64_t fileTimeTicksPerMinute = 600'000'000;

struct HistoryStore {
    // Ring: allocated once, never reallocated, so appending never allocates.
    std::vector<Sample> buffer = std::vector<Sample>(historyCapacity);
    uint64_t head = 0;  // where the next sample goes
    uint64_t count = 0; // valid samples, 0..1800

    // CSV side: rows wait in the write buffer until a flush puts them on disk.
    bool saving = false;
    std::string writeBuffer{};  // whole rows not yet wholly on disk, each ending in CR LF
    int32_t pendingRows = 0;    // rows in writeBuffer
    int32_t rowsSinceFlush = 0; // rows appended since the last attempt to write
    // A write that stopped inside the first waiting row: the bytes of it on disk,
    // and the file's size just after, so the next flush can finish that row in place.
    uint64_t cutRowBytes = 0;
    uint64_t cutFileBytes = 0;
    // Why the waiting rows are not on disk; empty while writing works.
    std::wstring unsavedReason{};
    std::wstring path{};
    std::wstring oldPath{};
};

// Fixes the two CSV paths (the App passes them from the data folder).
void historyInit(HistoryStore& store, std::wstring path, std::wstring oldPath);

// Copies the sample into the ring, then buffers its CSV row when saving is on.
void historyAppend(HistoryStore& store, const Sample& sample);

// The file step of an append: buffers the sample's CSV row when saving is on and
// writes the buffer once 30 rows wait.
void historyBufferRow(HistoryStore& store, const Sample& sample);

// The i-th oldest valid sample, 0 <= i < count.
const Sample& historyAt(const HistoryStore& store, uint64_t i);

// Whether a sample falls inside a chart window of the last `minutes` minutes
// ending at `now` (FILETIME); the boundary itself is inside. Samples are not
// assumed to be evenly spaced: the window is decided by time alone.
inline bool inTimeWindow(const Sample& sample, uint64_t now, uint32_t minutes) {
    return sample.time + uint64_t(minutes) * fileTimeTicksPerMinute >= now;
}

// Forgets every sample in memory (the ring part of clearing the history).
void historyClearRing(HistoryStore& store);

// ---- The CSV files ----

// First line of every history and export file, CR LF included (147 bytes).
inline constexpr char csvHeader[] =
    "waktu_lokal,cpu_persen,ram_persen,unduh_byte_per_detik,unggah_byte_per_detik,"
    "baca_disk_byte_per_detik,tulis_disk_byte_per_detik,suhu_maks_celsius\r\n";
// Rows are written in batches of this many (once a minute at the default 2 s).
inline constexpr int32_t historyFlushRows = 30;
// Rows kept while the file cannot be written (an hour at the default 2 s); older
// ones are dropped beyond that, so memory stays flat.
inline constexpr int32_t historyMaxPendingRows = 1800;
// A file larger than this becomes the old file at the end of a flush. While that
// keeps failing (the old file held open), rows stop going to a file that reached
// twice this size and wait in memory instead.
inline constexpr uint64_t historyRotateBytes = 8'388'608;
// Export files copy the history files in pieces of this size.
inline constexpr uint32_t historyCopyChunkBytes = 1u << 20;

// Calendar fields of a local time.
struct LocalTime {
    uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "2024-05-01 08:03:09"
std::wstring formatLocalTime(const LocalTime& time);

// The local time of a FILETIME (UTC, 100-ns units) in the format above; empty when
// Windows cannot convert it.
std::wstring localTimeText(uint64_t fileTime);

// One CSV line for a sample whose first field is already formatted: seven commas,
// numbers with a full stop and no grouping, a missing value as an empty field,
// CR LF at the end.
std::string csvRow(const std::string& timeField, const Sample& sample);

// One CSV line with the sample's local time.
std::string formatCsvRow(const Sample& sample);

// The text one flush appends to a file of `fileBytes` bytes whose last byte is
// `lastByte`: the header when the file is empty, a line end first when a power
// cut left the file ending in a partial row, then the buffered rows.
std::string appendText(uint64_t fileBytes, char lastByte, const std::string& rows);

// Records that the first `rowBytes` bytes of the write buffer are on disk, the file
// then being `fileBytes` long: whole rows leave the buffer; a row cut part-way
// stays whole in it, with its written part noted so that only the rest is retried.
void historyRowsWritten(HistoryStore& store, uint64_t rowBytes, uint64_t fileBytes);

// Adds a history file's rows (everything after its own header line) to an
// export; a file ending in a partial row gets its line end, so the next file's
// first row starts on a line of its own.
void appendFileRows(std::string& output, const std::string& content);

// Writes the buffered CSV rows, rotating the file when it grew past the limit. Rows
// that cannot be written stay buffered (bounded) for the next flush, which comes
// after as many rows again, and unsavedReason says why.
void historyFlush(HistoryStore& store);

// Switches CSV saving; switching off writes what is buffered first.
void historySetSaving(HistoryStore& store, bool on);

// Forgets the samples in memory and the buffered rows, then deletes both files.
// False, with the Windows error text, when a file exists but cannot be deleted.
bool historyClear(HistoryStore& store, std::wstring& error);

// Writes all history into one CSV file for spreadsheets: byte-order mark, header,
// the rows of the old file, the current one and those still waiting, or the
// ring's samples when neither file holds any. The file is written beside the
// destination and put in its place only when complete. False with an Indonesian
// error text on failure, the destination then left as it was.
bool historyExport(HistoryStore& store, const std::wstring& destination, std::wstring& error);

// Size of both history files together; a missing file counts 0.
uint64_t historyFileBytes(const HistoryStore& store);

} // namespace ovra
