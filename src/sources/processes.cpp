#include "sources/processes.h"

#include <algorithm>

namespace ovra {

namespace {

// The processor-use order: measured rows by their value, then rows that are
// readable but not measured yet, then rows Windows would not open.
double processorKey(const ProcessRow& row) {
    if (!row.accessible) return -1.0;
    return row.cpuValid ? row.cpuPercent : -0.5;
}

bool beforeByProcessor(const ProcessRow& a, const ProcessRow& b) {
    const double keyA = processorKey(a), keyB = processorKey(b);
    if (keyA != keyB) return keyA > keyB;
    if (a.workingSet != b.workingSet) return a.workingSet > b.workingSet;
    return a.pid < b.pid;
}

bool beforeByMemory(const ProcessRow& a, const ProcessRow& b) {
    if (a.accessible != b.accessible) return a.accessible;
    if (a.accessible && a.workingSet != b.workingSet) return a.workingSet > b.workingSet;
    return a.pid < b.pid;
}

} // namespace

void processApplySnapshot(ProcessList& list, const std::vector<ProcessSample>& samples,
                          uint64_t now, uint32_t logicalProcessors) {
    const uint64_t elapsed = list.lastTime != 0 ? now - list.lastTime : 0;
    list.lastTime = now;
    const double capacity = static_cast<double>(logicalProcessors < 1 ? 1 : logicalProcessors) *
                            static_cast<double>(elapsed);

    std::map<uint32_t, ProcessTimes> times;
    std::vector<ProcessRow> rows;
    rows.reserve(samples.size());
    for (const ProcessSample& sample : samples) {
        if (sample.pid == 0) continue; // the idle process is not a process
        ProcessRow& row = rows.emplace_back();
        row.pid = sample.pid;
        row.name = sample.name;
        if (!sample.opened) continue;
        if (sample.timesRead) {
            row.accessible = true;
            const auto previous = list.previousTimes.find(sample.pid);
            // A process id reused by a new process has another creation time: its
            // processor time has nothing to do with the old one's.
            if (previous != list.previousTimes.end() &&
                previous->second.creationTime == sample.creationTime && elapsed > 0) {
                const uint64_t used = sample.processorTime >= previous->second.processorTime
                                          ? sample.processorTime - previous->second.processorTime
                                          : 0;
                row.cpuValid = true;
                row.cpuPercent = std::min(static_cast<double>(used) * 100.0 / capacity, 100.0);
            }
            times[sample.pid] = ProcessTimes{sample.creationTime, sample.processorTime};
        }
        if (sample.memoryRead)
            row.workingSet = sample.workingSet;
        else
            row.accessible = false;
    }
    list.previousTimes.swap(times);
    list.rows.swap(rows);
    list.count = static_cast<uint32_t>(list.rows.size());
    processSort(list);
}

void processClear(ProcessList& list) {
    std::vector<ProcessRow>().swap(list.rows);
    list.count = 0;
    list.previousTimes.clear();
    list.lastTime = 0;
}

void processSort(ProcessList& list) {
    if (list.sortBy == 0)
        std::stable_sort(list.rows.begin(), list.rows.end(), beforeByProcessor);
    else
        std::stable_sort(list.rows.begin(), list.rows.end(), beforeByMemory);
}

} // namespace ovra
