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

// A failed call keeps the figures of the last one that succeeded.
void memoryUpdate(MemoryInfo& memory);

} // namespace ovra
