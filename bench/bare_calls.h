#pragma once
// The bare Windows calls of the monitor's fast tick besides its counter query:
// processor times, memory, commit, the network table and the time. Both the
// in-process baseline and the idle baseline window make exactly these.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>
#include <psapi.h>

namespace bench {

inline void fastTickSystemCalls() {
    using NtQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    static const auto ntQuery = reinterpret_cast<NtQuery>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    static unsigned char processorTimes[64 * 48];
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
}

} // namespace bench
