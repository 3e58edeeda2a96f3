#include "sources/memory.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdint>

namespace ovra {
namespace {

constexpr uint64_t gib = 1024ULL * 1024 * 1024;

MemoryStatusRaw status(uint64_t total, uint64_t available) {
    MemoryStatusRaw raw;
    raw.totalPhys = total;
    raw.availPhys = available;
    return raw;
}

PerformanceRaw performance(uint64_t commitPages, uint64_t limitPages, uint64_t cachePages,
                           uint64_t pageSize) {
    PerformanceRaw raw;
    raw.commitTotalPages = commitPages;
    raw.commitLimitPages = limitPages;
    raw.systemCachePages = cachePages;
    raw.pageSize = pageSize;
    return raw;
}

TEST(MemoryCore, UsedPercentIsExactAndFailureKeepsTheLastFigures) {
    MemoryInfo memory;
    const MemoryStatusRaw sixteenWithFourFree = status(16 * gib, 4 * gib);
    memoryApply(memory, &sixteenWithFourFree, nullptr);
    EXPECT_TRUE(memory.ok);
    EXPECT_EQ(memory.usedPercent, 75.0);
    EXPECT_EQ(memory.availableBytes, 4 * gib);

    memoryApply(memory, nullptr, nullptr);
    EXPECT_FALSE(memory.ok);
    EXPECT_EQ(memory.usedPercent, 75.0);
    EXPECT_EQ(memory.totalBytes, 16 * gib);

    for (const MemoryStatusRaw& odd : {status(0, 0), status(4 * gib, 5 * gib)}) {
        memoryApply(memory, &odd, nullptr);
        EXPECT_TRUE(memory.ok);
        EXPECT_EQ(memory.usedPercent, 0.0);
    }
}

TEST(MemoryCore, PagesBecomeBytesIn64BitsOrAllThreeAreUnavailable) {
    MemoryInfo memory;
    EXPECT_EQ(memory.commitTotal.limitation, Limitation::Measuring);
    const PerformanceRaw raw = performance(1'000'000, 3'000'000, 2, 4096);
    memoryApply(memory, nullptr, &raw);
    EXPECT_TRUE(memory.commitTotal.ok);
    EXPECT_EQ(memory.commitTotal.value, 4'096'000'000u);
    EXPECT_EQ(memory.commitLimit.value, 12'288'000'000u); // does not fit in 32 bits
    EXPECT_EQ(memory.systemCache.value, 8192u);
    const PerformanceRaw largePages = performance(40'000, 40'000, 0, 2 * 1024 * 1024);
    memoryApply(memory, nullptr, &largePages);
    EXPECT_EQ(memory.commitTotal.value, 83'886'080'000u);

    memoryApply(memory, nullptr, nullptr);
    for (const Reading<uint64_t>* reading :
         {&memory.commitTotal, &memory.commitLimit, &memory.systemCache}) {
        EXPECT_FALSE(reading->ok);
        EXPECT_EQ(reading->value, 0u);
        EXPECT_EQ(reading->limitation, Limitation::WindowsApi);
        EXPECT_EQ(reading->reason, L"GetPerformanceInfo gagal.");
    }
}

TEST(MemoryShell, ReadsPhysicalMemoryAndCommitFromWindows) {
    MemoryInfo memory;
    memoryUpdate(memory);
    ASSERT_TRUE(memory.ok);
    EXPECT_GT(memory.totalBytes, 0u);
    EXPECT_LE(memory.availableBytes, memory.totalBytes);
    ASSERT_TRUE(memory.commitLimit.ok);

    // The shell must hand over bytes, not pages.
    PERFORMANCE_INFORMATION pages = {};
    pages.cb = sizeof(pages);
    ASSERT_TRUE(K32GetPerformanceInfo(&pages, sizeof(pages)));
    EXPECT_EQ(memory.commitLimit.value,
              static_cast<uint64_t>(pages.CommitLimit) * static_cast<uint64_t>(pages.PageSize));
}

} // namespace
} // namespace ovra
