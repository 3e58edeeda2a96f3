// In-process benchmarks: each figure runs the program's own code and, in the same
// run, a baseline of the bare work it cannot avoid, and prints both with the ratio.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>

#include "app/app.h"
#include "app/scheduler.h"
#include "harness.h"
#include "sources/system_library.h"

using namespace ovra;

namespace {

using PdhCollectQueryDataFunction = LONG(WINAPI*)(void*);
using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// One fast tick against the Windows calls it has to make: collecting the counter
// query, the system and per-processor times, the memory status, the interface
// table and the clock.
void fastTickFigure() {
    auto app = std::make_unique<App>();
    cpuInit(app->cpu, app->fastQuery);
    diskIoInit(app->storage, app->fastQuery);
    pdhCollect(app->fastQuery);
    fastTick(*app);

    const HMODULE pdh = loadSystemLibrary(L"pdh.dll");
    const auto collect = systemFunction<PdhCollectQueryDataFunction>(pdh, "PdhCollectQueryData");
    const auto ntQuery = systemFunction<NtQuerySystemInformationFunction>(
        GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation");
    static unsigned char processorTimes[64 * 48];
    const auto bareCalls = [&] {
        if (collect && app->fastQuery.handle) collect(app->fastQuery.handle);
        FILETIME idle, kernel, user, now;
        GetSystemTimes(&idle, &kernel, &user);
        ULONG length = 0;
        if (ntQuery) ntQuery(8, processorTimes, sizeof processorTimes, &length);
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof memory;
        GlobalMemoryStatusEx(&memory);
        PERFORMANCE_INFORMATION performance{};
        K32GetPerformanceInfo(&performance, sizeof performance);
        MIB_IF_TABLE2* table = nullptr;
        if (GetIfTable2(&table) == NO_ERROR) FreeMibTable(table);
        GetSystemTimeAsFileTime(&now);
    };
    const double baseline = bench::perCallMs(bareCalls);
    const double tick = bench::perCallMs([&] { fastTick(*app); });
    bench::report("1. fast tick vs its Windows calls", tick, baseline, "ms", 1.5);
    if (pdh) FreeLibrary(pdh);
}

} // namespace

int main() {
    std::printf("Ovra Monitor benchmarks (median of 7 runs; ratio = figure / baseline)\n");
    fastTickFigure();
    return 0;
}
