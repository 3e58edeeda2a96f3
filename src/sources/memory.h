#pragma once
// Physical memory, commit charge and system cache.
#include <cstdint>
#include "sources/reading.h"

namespace ovra {

struct MemoryInfo {
    bool ok = false; // the last GlobalMemoryStatusEx call succeeded
    double usedPercent = 0;
    uint64_t totalBytes = 0;
    uint64_t availableBytes = 0;
    Reading<uint64_t> commitTotal;
    Reading<uint64_t> commitLimit;
    Reading<uint64_t> systemCache;
};

void memoryUpdate(MemoryInfo& memory);

// Physical memory as GlobalMemoryStatusEx reports it, in bytes.
struct MemoryStatusRaw {
    uint64_t totalPhys = 0;
    uint64_t availPhys = 0;
};

// Commit and cache figures as GetPerformanceInfo reports them: counts of pages.
struct PerformanceRaw {
    uint64_t commitTotalPages = 0;
    uint64_t commitLimitPages = 0;
    uint64_t systemCachePages = 0;
    uint64_t pageSize = 0; // bytes
};

// Applies one update; a null pointer means that call failed.
void memoryApply(MemoryInfo& memory, const MemoryStatusRaw* status,
                 const PerformanceRaw* performance);

} // namespace ovra
