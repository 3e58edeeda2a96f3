// In-process benchmarks: each figure runs the program's own code and, in the same
// run, a baseline of the bare work it cannot avoid, and prints both with the ratio.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>
#include <pdh.h>
#include <memory>

#include "app/app.h"
#include "app/scheduler.h"
#include "bare_calls.h"
#include "harness.h"
#include "sources/system_library.h"

using namespace ovra;

void historyFigures();                         // history_figures.cpp
void paintFigures(const std::wstring& folder); // paint_figures.cpp

namespace {

using PdhCollectQueryDataFunction = LONG(WINAPI*)(void*);
using PdhGetFormattedCounterArrayFunction = LONG(WINAPI*)(void*, DWORD, DWORD*, DWORD*, void*);
using PdhGetFormattedCounterValueFunction = LONG(WINAPI*)(void*, DWORD, DWORD*, void*);

// A folder of the benchmarks' own for the App's files, never the user's data folder.
std::wstring benchFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"ovra-bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// One fast tick against the Windows calls it has to make: collecting the counter
// query, the system and per-processor times, the memory status, the interface
// table, the counters' values and the clock.
void fastTickFigure() {
    auto app = std::make_unique<App>(benchFolder());
    startMeasuring(*app);
    fastTick(*app);

    const HMODULE pdh = loadSystemLibrary(L"pdh.dll");
    const auto collect = systemFunction<PdhCollectQueryDataFunction>(pdh, "PdhCollectQueryData");
    const auto readValue =
        systemFunction<PdhGetFormattedCounterValueFunction>(pdh, "PdhGetFormattedCounterValue");
    const auto readArray =
        systemFunction<PdhGetFormattedCounterArrayFunction>(pdh, "PdhGetFormattedCounterArrayW");
    std::vector<unsigned char> items(64 * 1024);
    // A query of its own with the counters the fast query holds.
    PdhQuery bare;
    const PdhCounter performance =
        pdhAddCounter(bare, L"\\Processor Information(_Total)\\% Processor Performance");
    std::vector<void*> arrays;
    for (const wchar_t* path :
         {L"\\LogicalDisk(*)\\Disk Read Bytes/sec", L"\\LogicalDisk(*)\\Disk Write Bytes/sec"})
        if (PdhCounter counter = pdhAddCounter(bare, path)) arrays.push_back(counter);
    const auto bareCalls = [&] {
        if (collect && bare.handle) collect(bare.handle);
        if (readValue && performance) {
            DWORD type = 0;
            PDH_FMT_COUNTERVALUE value{};
            readValue(performance, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, &type, &value);
        }
        for (void* counter : arrays) {
            DWORD bytes = DWORD(items.size()), count = 0;
            if (readArray) readArray(counter, PDH_FMT_DOUBLE, &bytes, &count, items.data());
        }
        bench::fastTickSystemCalls();
    };
    const double baseline = bench::perCallMs(bareCalls);
    const double tick = bench::perCallMs([&] { fastTick(*app); });
    bench::report("1. fast tick vs its Windows calls", tick, baseline, "ms", 1.5);
    pdhClose(bare);
    if (pdh) FreeLibrary(pdh);
}

// One process update against the walk it cannot avoid: the snapshot and, for each
// process, one limited-information open, its times and its memory.
void processUpdateFigure() {
    ProcessList list;
    processUpdate(list, 1);
    const auto bareWalk = [] {
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            const HANDLE process =
                OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
            if (!process) continue;
            FILETIME creation, exit, kernel, user;
            GetProcessTimes(process, &creation, &exit, &kernel, &user);
            PROCESS_MEMORY_COUNTERS counters{};
            K32GetProcessMemoryInfo(process, &counters, sizeof counters);
            CloseHandle(process);
        }
        CloseHandle(snapshot);
    };
    bareWalk(); // both warmed once: the first walk of a run is slower
    const double update = bench::perCallMs([&] { processUpdate(list, 1); }, 7, 10);
    const double baseline = bench::perCallMs(bareWalk, 7, 10);
    bench::report("5. process update vs a bare Toolhelp walk", update, baseline, "ms", 1.5);
}

} // namespace

int main() {
    std::printf("Ovra Monitor benchmarks (median of 7 runs; ratio = figure / baseline)\n");
    fastTickFigure();
    paintFigures(benchFolder());
    historyFigures();
    processUpdateFigure();
    return 0;
}
