#include "sources/processes.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>

#include "sources/clock.h"
#include "sources/handle.h"

namespace ovra {

namespace {

static_assert(sizeof(PROCESSENTRY32W) == 568);
static_assert(sizeof(PROCESS_MEMORY_COUNTERS) == 72);

// Reads one process with the least access that answers times and memory, so
// that most processes of the same user can be read; its handle closes on return.
void measure(ProcessSample& sample) {
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, sample.pid));
    sample.opened = process.valid();
    if (!sample.opened) return;
    FILETIME creation = {}, exit = {}, kernel = {}, user = {};
    sample.timesRead = GetProcessTimes(process.get(), &creation, &exit, &kernel, &user) != FALSE;
    if (sample.timesRead) {
        sample.creationTime = fileTimeValue(creation);
        sample.processorTime = fileTimeValue(kernel) + fileTimeValue(user);
    }
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    sample.memoryRead =
        K32GetProcessMemoryInfo(process.get(), &counters, sizeof(counters)) != FALSE;
    if (sample.memoryRead) sample.workingSet = counters.WorkingSetSize;
}

} // namespace

void processUpdate(ProcessList& list, uint32_t logicalProcessors) {
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    const HANDLE raw = snapshot.get();

    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);

    std::vector<ProcessSample> samples;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(raw, &entry); more; more = Process32NextW(raw, &entry)) {
        if (entry.th32ProcessID == 0) continue;
        ProcessSample& sample = samples.emplace_back();
        sample.pid = entry.th32ProcessID;
        const wchar_t* first = entry.szExeFile;
        const wchar_t* end = std::find(first, first + MAX_PATH, L'\0');
        sample.name.assign(first, end);
        measure(sample);
    }
    processApplySnapshot(list, samples, fileTimeValue(now), logicalProcessors);
}

} // namespace ovra
