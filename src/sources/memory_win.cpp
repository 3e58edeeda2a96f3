#include "sources/memory.h"

#include <windows.h>
#include <psapi.h>

namespace ovra {

static_assert(sizeof(MEMORYSTATUSEX) == 64, "GlobalMemoryStatusEx expects the 64-byte record");
static_assert(sizeof(PERFORMANCE_INFORMATION) == 104,
              "K32GetPerformanceInfo expects the 104-byte record");

void memoryUpdate(MemoryInfo& memory) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    MemoryStatusRaw statusRaw;
    const bool statusOk = GlobalMemoryStatusEx(&status) != FALSE;
    if (statusOk) {
        statusRaw.totalPhys = status.ullTotalPhys;
        statusRaw.availPhys = status.ullAvailPhys;
    }

    PERFORMANCE_INFORMATION performance = {};
    performance.cb = sizeof(performance);
    PerformanceRaw performanceRaw;
    const bool performanceOk = K32GetPerformanceInfo(&performance, sizeof(performance)) != FALSE;
    if (performanceOk) {
        performanceRaw.commitTotalPages = performance.CommitTotal;
        performanceRaw.commitLimitPages = performance.CommitLimit;
        performanceRaw.systemCachePages = performance.SystemCache;
        performanceRaw.pageSize = performance.PageSize;
    }

    memoryApply(memory, statusOk ? &statusRaw : nullptr, performanceOk ? &performanceRaw : nullptr);
}

} // namespace ovra
