#pragma once
// The processor: described once at start-up, measured on every fast tick.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

// Idle, kernel and user time in 100-ns units. Kernel time includes idle time.
struct CpuTimes {
    uint64_t idle = 0;
    uint64_t kernel = 0;
    uint64_t user = 0;
};

struct CpuInfo {
    std::wstring name;
    uint32_t physicalCores = 0;
    uint32_t logicalProcessors = 0;
    Reading<double> baseMhz;               // nominal maximum frequency
    Reading<double> effectiveMhz;          // estimated current frequency
    Reading<double> usage;                 // total use since the previous update, percent
    std::vector<double> perProcessorUsage; // percent, in Windows' processor order
    Reading<bool> perProcessorStatus;      // whether perProcessorUsage is current

    // Kept between updates.
    PdhQuery* query = nullptr;
    PdhCounter performanceCounter = nullptr; // "% Processor Performance"
    CpuTimes previousTimes;
    bool hasPreviousTimes = false;
    std::vector<CpuTimes> previousProcessorTimes;
    void* ntQuerySystemInformation = nullptr;
    void* ntQuerySystemInformationEx = nullptr;
    // Active logical processors of each processor group (Windows puts at most 64
    // in one group); one entry on most machines.
    std::vector<uint32_t> groupProcessors;
    // Scratch of every update, sized once for all processors: the raw records of
    // the per-processor query and their decoded times.
    std::vector<unsigned char> processorRecords;
    std::vector<CpuTimes> processorTimes;
};

// Describes the processor, adds its counter to the fast query and takes the
// first baseline.
void cpuInit(CpuInfo& cpu, PdhQuery& fastQuery);

// Measures total, per-processor use and the effective frequency; run after the
// fast query was collected.
void cpuUpdate(CpuInfo& cpu);

// The rules behind cpuInit and cpuUpdate, over the plain answers of Windows.

// The registry's processor name trimmed, or a fixed text when there is none.
std::wstring cpuDisplayName(const std::wstring& registryName);

// Counts the processor-core records in a GetLogicalProcessorInformationEx answer
// (variable-length records, each starting with its relationship and its size).
uint32_t cpuCountCoreRecords(const unsigned char* records, size_t bytes);

// callOk: powrprof, its export and the call all succeeded; maximumMhz is the first
// processor's maximum frequency.
void cpuApplyBaseFrequency(CpuInfo& cpu, bool callOk, uint32_t maximumMhz);

// After the base frequency is known: explains an effective frequency that can
// never be measured, from the result of adding the performance counter.
void cpuApplyCounterSetup(CpuInfo& cpu, bool counterAdded, uint32_t addStatus);

void cpuApplyNtQueryPresence(CpuInfo& cpu, bool present);

void cpuApplySystemTimes(CpuInfo& cpu, bool callOk, const CpuTimes& now);

// NtQuerySystemInformation(SystemProcessorPerformanceInformation) answers records
// of 48 bytes, one per logical processor of one processor group.
inline constexpr size_t cpuProcessorRecordBytes = 48;

// Decodes the idle, kernel and user times of the records in `bytes` into `times`;
// returns how many were decoded (at most `capacity`).
size_t cpuTimesFromRecords(const unsigned char* records, size_t bytes, CpuTimes* times,
                           size_t capacity);

// status is the NTSTATUS of the call; `now` holds one entry per logical processor.
void cpuApplyProcessorTimes(CpuInfo& cpu, int32_t status, const CpuTimes* now, size_t count);

// Asks for the per-processor records of one processor group into `buffer`, like
// NtQuerySystemInformation(Ex); answers the NTSTATUS and the bytes written.
using CpuGroupQuery = std::function<int32_t(uint16_t group, unsigned char* buffer, uint32_t bytes,
                                            uint32_t& written)>;

// Measures every processor of every group in cpu.groupProcessors, group after
// group in Windows' order; one failing group makes the whole list unavailable,
// so a part of the machine never passes for all of it.
void cpuReadProcessorGroups(CpuInfo& cpu, const CpuGroupQuery& query);

// percent is "% Processor Performance" when readOk; collects counts the fast
// query's collections so far.
void cpuApplyEffectiveFrequency(CpuInfo& cpu, bool readOk, double percent, uint32_t collects);

} // namespace ovra
