#pragma once
// The running processes with their processor use and working set, read only while
// the process page is shown.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ovra {

struct ProcessRow {
    uint32_t pid = 0;
    std::wstring name;       // executable file name from the snapshot
    bool accessible = false; // opened, and both its times and its memory were read
    bool cpuValid = false;   // a sample of the same process instance came before
    double cpuPercent = 0;   // percent of the whole machine since the previous update
    uint64_t workingSet = 0; // bytes
};

// What one update remembers of a process for the next: the creation time tells a
// reused process id from the process that had it before.
struct ProcessTimes {
    uint64_t creationTime = 0;  // 100-ns units
    uint64_t processorTime = 0; // kernel + user, 100-ns units
};

struct ProcessList {
    std::vector<ProcessRow> rows; // all processes of the last update, sorted
    uint32_t sortBy = 0;          // 0 = by processor use, otherwise by working set
    uint32_t count = 0;
    std::map<uint32_t, ProcessTimes> previousTimes;
    uint64_t lastTime = 0; // system time of the last update, 100-ns units; 0 before it
};

// Takes a snapshot of the processes and measures each; values of logicalProcessors
// below 1 count as 1. A failed snapshot keeps the previous list.
void processUpdate(ProcessList& list, uint32_t logicalProcessors);

// Forgets the rows and every previous sample (the sort order stays), so nothing is
// kept while the list is not shown.
void processClear(ProcessList& list);

// Sorts the rows by sortBy; stable, with fixed tie rules.
void processSort(ProcessList& list);

// One process as the snapshot walk found it.
struct ProcessSample {
    uint32_t pid = 0;
    std::wstring name;
    bool opened = false;        // opened with limited-information access
    bool timesRead = false;     // GetProcessTimes succeeded
    uint64_t creationTime = 0;  // 100-ns units
    uint64_t processorTime = 0; // kernel + user, 100-ns units
    bool memoryRead = false;    // K32GetProcessMemoryInfo succeeded
    uint64_t workingSet = 0;    // bytes
};

// Builds the rows from one snapshot taken at `now` (system time, 100-ns units),
// measures processor use against the previous update, and sorts.
void processApplySnapshot(ProcessList& list, const std::vector<ProcessSample>& samples,
                          uint64_t now, uint32_t logicalProcessors);

} // namespace ovra
