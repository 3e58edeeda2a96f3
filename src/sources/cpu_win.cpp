#include "sources/cpu.h"

#include <windows.h>

#include <array>
#include <cstring>
#include <vector>

#include "sources/registry.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

using CallNtPowerInformationFunction = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID,
                                                     ULONG);
using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

constexpr ULONG systemProcessorPerformanceInformation = 8;

// PROCESSOR_POWER_INFORMATION; powrprof's header is not needed for one record.
struct ProcessorPowerRecord {
    ULONG number;
    ULONG maximumMhz;
    ULONG currentMhz;
    ULONG mhzLimit;
    ULONG maximumIdleState;
    ULONG currentIdleState;
};
static_assert(sizeof(ProcessorPowerRecord) == 24);

// Reused by every update: one tick makes no allocation for the per-processor times.
alignas(8) unsigned char processorRecords[cpuProcessorRecordCapacity * cpuProcessorRecordBytes];
std::array<CpuTimes, cpuProcessorRecordCapacity> processorTimes;

uint64_t fileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

uint32_t countPhysicalCores() {
    DWORD bytes = 0;
    GetLogicalProcessorInformationEx(RelationProcessorCore, nullptr, &bytes);
    if (bytes == 0) return 0;
    std::vector<unsigned char> records(bytes);
    if (!GetLogicalProcessorInformationEx(
            RelationProcessorCore,
            reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(records.data()), &bytes))
        return 0;
    const size_t answered = bytes < records.size() ? bytes : records.size();
    return cpuCountCoreRecords(records.data(), answered);
}

void readBaseFrequency(CpuInfo& cpu) {
    bool callOk = false;
    uint32_t maximumMhz = 0;
    const HMODULE powrprof = loadSystemLibrary(L"powrprof.dll");
    const auto callNtPowerInformation =
        systemFunction<CallNtPowerInformationFunction>(powrprof, "CallNtPowerInformation");
    if (callNtPowerInformation) {
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        std::vector<ProcessorPowerRecord> records(system.dwNumberOfProcessors,
                                                  ProcessorPowerRecord{});
        if (!records.empty()) {
            const LONG status = callNtPowerInformation(
                ProcessorInformation, nullptr, 0, records.data(),
                static_cast<ULONG>(records.size() * sizeof(ProcessorPowerRecord)));
            callOk = status == 0;
            maximumMhz = records[0].maximumMhz;
        }
    }
    if (powrprof) FreeLibrary(powrprof);
    cpuApplyBaseFrequency(cpu, callOk, maximumMhz);
}

} // namespace

void cpuInit(CpuInfo& cpu, PdhQuery& fastQuery) {
    cpu.query = &fastQuery;
    cpu.name = cpuDisplayName(regReadString(HKEY_LOCAL_MACHINE,
                                            L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                            L"ProcessorNameString", true));
    cpu.logicalProcessors = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (const uint32_t cores = countPhysicalCores(); cores > 0) cpu.physicalCores = cores;
    readBaseFrequency(cpu);

    uint32_t status = 0;
    cpu.performanceCounter = pdhAddCounter(
        fastQuery, L"\\Processor Information(_Total)\\% Processor Performance", &status);
    cpuApplyCounterSetup(cpu, cpu.performanceCounter != nullptr, status);

    // ntdll is in every process already; it is looked up, never loaded.
    cpu.ntQuerySystemInformation =
        reinterpret_cast<void*>(systemFunction<NtQuerySystemInformationFunction>(
            GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation"));
    cpuApplyNtQueryPresence(cpu, cpu.ntQuerySystemInformation != nullptr);

    cpuUpdate(cpu);
}

void cpuUpdate(CpuInfo& cpu) {
    FILETIME idle = {}, kernel = {}, user = {};
    const bool timesOk = GetSystemTimes(&idle, &kernel, &user) != FALSE;
    cpuApplySystemTimes(cpu, timesOk,
                        CpuTimes{fileTimeValue(idle), fileTimeValue(kernel), fileTimeValue(user)});

    if (cpu.ntQuerySystemInformation) {
        const auto ntQuerySystemInformation =
            reinterpret_cast<NtQuerySystemInformationFunction>(cpu.ntQuerySystemInformation);
        std::memset(processorRecords, 0, sizeof(processorRecords));
        ULONG returned = 0;
        const LONG status =
            ntQuerySystemInformation(systemProcessorPerformanceInformation, processorRecords,
                                     sizeof(processorRecords), &returned);
        const size_t bytes =
            returned < sizeof(processorRecords) ? returned : sizeof(processorRecords);
        const size_t count =
            status < 0 ? 0
                       : cpuTimesFromRecords(processorRecords, bytes, processorTimes.data(),
                                             processorTimes.size());
        cpuApplyProcessorTimes(cpu, status, processorTimes.data(), count);
    }

    double percent = 0;
    const bool readOk = cpu.performanceCounter && cpu.baseMhz.ok && cpu.query &&
                        pdhReadValue(*cpu.query, cpu.performanceCounter, percent);
    cpuApplyEffectiveFrequency(cpu, readOk, percent, cpu.query ? cpu.query->collects : 0);
}

} // namespace ovra
