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

    // CSV side: rows wait in the write buffer until a flush.
    bool saving = false;
    std::string writeBuffer;
    int32_t pendingRows = 0;
    std::wstring path;
    std::wstring oldPath;
};

// Fixes the two CSV paths (the App passes them from the data folder).
void historyInit(HistoryStore& store, std::wstring path, std::wstring oldPath);

// Copies the sample into the ring, then buffers its CSV row when saving is on.
void historyAppend(HistoryStore& store, const Sample& sample);

// The file step of an append: buffers the sample's CSV row when saving is on.
void historyBufferRow(HistoryStore& store, const Sample& sample);

// The i-th oldest valid sample, 0 <= i < count.
const Sample& historyAt(const HistoryStore& store, uint64_t i);

// Whether a sample falls inside a chart window of the last `minutes` minutes
// ending at `now` (FILETIME); the boundary itself is inside. Samples are not
// assumed to be evenly spaced: the window is decided by time alone.
inline bool inTimeWindow(const Sample& sample, uint64_t now, uint32_t minutes) {
    return sample.time + uint64_t(minutes) * fileTimeTicksPerMinute >= now;
}

// Number of samples in the ring that fall inside the window.
uint64_t historyCountInWindow(const HistoryStore& store, uint64_t now, uint32_t minutes);

// Forgets every sample in memory (the ring part of clearing the history).
void historyClearRing(HistoryStore& store);

// Writes the buffered CSV rows.
void historyFlush(HistoryStore& store);

// Switches CSV saving; switching off writes what is buffered first.
void historySetSaving(HistoryStore& store, bool on);

} // namespace ovra
