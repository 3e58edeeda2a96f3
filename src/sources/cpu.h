#pragma once
// The processor: described once at start-up, measured on every fast tick.
#include <cstddef>
#include <cstdint>
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
    // Active logical processors of each processor group (Windows puts at most 64
    // in one group); one entry on most machines.
    std::vector<uint32_t> groupProcessors;
    Reading<double> baseMhz;               // nominal maximum frequency
    Reading<double> effectiveMhz;          // estimated current frequency
    Reading<double> usage;                 // total use since the previous update, percent
    std::vector<double> perProcessorUsage; // percent, in Windows' processor order
    Reading<bool> perProcessorStatus;      // whether perProcessorUsage is current

    // The samples of the previous update.
    CpuTimes previousTimes;
    bool hasPreviousTimes = false;
    std::vector<CpuTimes> previousProcessorTimes;
};

// Describes the processor, adds its counter to the fast query and takes the
// first baseline.
void cpuInit(CpuInfo& cpu, PdhQuery& fastQuery);

// Measures total, per-processor use and the effective frequency; run after the
// fast query was collected.
void cpuUpdate(CpuInfo& cpu);

// --- The rules behind those, over the plain answers of Windows. ---

// Counts the processor-core records in a GetLogicalProcessorInformationEx answer
// (variable-length records, each starting with its relationship and its size).
uint32_t cpuCountCoreRecords(const unsigned char* records, size_t bytes);

void cpuApplySystemTimes(CpuInfo& cpu, bool callOk, const CpuTimes& now);

// NtQuerySystemInformation(SystemProcessorPerformanceInformation) answers records
// of 48 bytes, one per logical processor of one processor group.
inline constexpr size_t cpuProcessorRecordBytes = 48;

// The per-processor records of every group in cpu.groupProcessors, one area after
// the other: group g has room for groupProcessors[g] records, of which the first
// written[g] bytes were answered.
void cpuApplyProcessorRecords(CpuInfo& cpu, const unsigned char* records, const uint32_t* written);

// The per-processor query of one group failed with this NTSTATUS: the whole list
// is unavailable, so a part of the machine never passes for all of it.
void cpuApplyProcessorFailure(CpuInfo& cpu, int32_t status);

// percent is "% Processor Performance" when readOk; collects counts the fast
// query's collections so far.
void cpuApplyEffectiveFrequency(CpuInfo& cpu, bool readOk, double percent, uint32_t collects);

} // namespace ovra
