#include "sources/memory.h"

namespace ovra {

void memoryApply(MemoryInfo& memory, const MemoryStatusRaw* status,
                 const PerformanceRaw* performance) {
    memory.ok = status != nullptr;
    if (status) {
        memory.totalBytes = status->totalPhys;
        memory.availableBytes = status->availPhys;
        // Subtracting in 64 bits before converting keeps the result exact; an
        // availability above the total would otherwise wrap to an absurd percentage.
        const uint64_t used =
            status->availPhys < status->totalPhys ? status->totalPhys - status->availPhys : 0;
        memory.usedPercent = status->totalPhys == 0 ? 0.0
                                                    : static_cast<double>(used) * 100.0 /
                                                          static_cast<double>(status->totalPhys);
    }

    if (performance) {
        // Windows counts pages; 32-bit arithmetic would overflow above 4 GiB.
        const uint64_t pageSize = performance->pageSize;
        setReading(memory.commitTotal, performance->commitTotalPages * pageSize);
        setReading(memory.commitLimit, performance->commitLimitPages * pageSize);
        setReading(memory.systemCache, performance->systemCachePages * pageSize);
    } else {
        const std::wstring reason = L"GetPerformanceInfo gagal.";
        setUnavailable(memory.commitTotal, Limitation::WindowsApi, reason);
        setUnavailable(memory.commitLimit, Limitation::WindowsApi, reason);
        setUnavailable(memory.systemCache, Limitation::WindowsApi, reason);
    }
}

} // namespace ovra
