#include "sources/answers_win.h"

namespace ovra {

static_assert(sizeof(MEMORYSTATUSEX) == 64, "GlobalMemoryStatusEx expects the 64-byte record");
static_assert(sizeof(PERFORMANCE_INFORMATION) == 104,
              "K32GetPerformanceInfo expects the 104-byte record");

void memoryFromAnswers(MemoryInfo& memory, const MEMORYSTATUSEX* status,
                       const PERFORMANCE_INFORMATION* performance) {
    memory.ok = status != nullptr;
    if (status) {
        memory.totalBytes = status->ullTotalPhys;
        memory.availableBytes = status->ullAvailPhys;
        // Subtracting in 64 bits before converting keeps the result exact; an
        // availability above the total would otherwise wrap to an absurd percentage.
        const uint64_t used = status->ullAvailPhys < status->ullTotalPhys
                                  ? status->ullTotalPhys - status->ullAvailPhys
                                  : 0;
        memory.usedPercent =
            status->ullTotalPhys == 0
                ? 0.0
                : static_cast<double>(used) * 100.0 / static_cast<double>(status->ullTotalPhys);
    }
    if (performance) {
        // Windows counts pages; 32-bit arithmetic would overflow above 4 GiB.
        const uint64_t pageSize = performance->PageSize;
        setReading(memory.commitTotal, uint64_t{performance->CommitTotal} * pageSize);
        setReading(memory.commitLimit, uint64_t{performance->CommitLimit} * pageSize);
        setReading(memory.systemCache, uint64_t{performance->SystemCache} * pageSize);
    } else {
        const wchar_t* reason = L"GetPerformanceInfo gagal.";
        setUnavailable(memory.commitTotal, Limitation::WindowsApi, reason);
        setUnavailable(memory.commitLimit, Limitation::WindowsApi, reason);
        setUnavailable(memory.systemCache, Limitation::WindowsApi, reason);
    }
}

void memoryUpdate(MemoryInfo& memory) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    PERFORMANCE_INFORMATION performance = {};
    performance.cb = sizeof(performance);
    const bool statusOk = GlobalMemoryStatusEx(&status) != FALSE;
    const bool performanceOk = K32GetPerformanceInfo(&performance, sizeof(performance)) != FALSE;
    memoryFromAnswers(memory, statusOk ? &status : nullptr, performanceOk ? &performance : nullptr);
}

} // namespace ovra
