#include "sources/cpu.h"

#include <windows.h>

#include <vector>

#include "sources/registry.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

using CallNtPowerInformationFunction = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID,
                                                     ULONG);
using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtQuerySystemInformationExFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PVOID, ULONG, PULONG);

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
        // One record for every processor of every group: a buffer for the current
        // group only is too small on machines with more than 64.
        std::vector<ProcessorPowerRecord> records(cpu.logicalProcessors, ProcessorPowerRecord{});
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
    const WORD groups = GetActiveProcessorGroupCount();
    cpu.groupProcessors.clear();
    for (WORD group = 0; group < groups; ++group)
        cpu.groupProcessors.push_back(GetActiveProcessorCount(group));
    if (cpu.groupProcessors.empty()) cpu.groupProcessors.push_back(cpu.logicalProcessors);
    if (const uint32_t cores = countPhysicalCores(); cores > 0) cpu.physicalCores = cores;
    readBaseFrequency(cpu);

    uint32_t status = 0;
    cpu.performanceCounter = pdhAddCounter(
        fastQuery, L"\\Processor Information(_Total)\\% Processor Performance", &status);
    cpuApplyCounterSetup(cpu, cpu.performanceCounter != nullptr, status);

    // ntdll is in every process already; it is looked up, never loaded.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    cpu.ntQuerySystemInformation = reinterpret_cast<void*>(
        systemFunction<NtQuerySystemInformationFunction>(ntdll, "NtQuerySystemInformation"));
    cpu.ntQuerySystemInformationEx = reinterpret_cast<void*>(
        systemFunction<NtQuerySystemInformationExFunction>(ntdll, "NtQuerySystemInformationEx"));
    cpuApplyNtQueryPresence(cpu, cpu.ntQuerySystemInformation != nullptr);

    cpuUpdate(cpu);
}

void cpuUpdate(CpuInfo& cpu) {
    FILETIME idle = {}, kernel = {}, user = {};
    const bool timesOk = GetSystemTimes(&idle, &kernel, &user) != FALSE;
    cpuApplySystemTimes(cpu, timesOk,
                        CpuTimes{fileTimeValue(idle), fileTimeValue(kernel), fileTimeValue(user)});

    if (cpu.ntQuerySystemInformation) {
        // The plain query answers the calling thread's processor group only; with
        // more than one group each is asked by number.
        const struct {
            NtQuerySystemInformationFunction plain;
            NtQuerySystemInformationExFunction byGroup;
            bool oneGroup;
        } calls{
            reinterpret_cast<NtQuerySystemInformationFunction>(cpu.ntQuerySystemInformation),
            reinterpret_cast<NtQuerySystemInformationExFunction>(cpu.ntQuerySystemInformationEx),
            cpu.groupProcessors.size() <= 1};
        // One captured reference: small enough that the std::function allocates nothing.
        cpuReadProcessorGroups(
            cpu,
            [&calls](uint16_t group, unsigned char* buffer, uint32_t bytes,
                     uint32_t& written) -> int32_t {
                ULONG returned = 0;
                LONG status = static_cast<LONG>(0xC0000002); // STATUS_NOT_IMPLEMENTED
                if (calls.oneGroup) {
                    status = calls.plain(systemProcessorPerformanceInformation, buffer, bytes,
                                         &returned);
                } else if (calls.byGroup) {
                    USHORT number = group;
                    status = calls.byGroup(systemProcessorPerformanceInformation, &number,
                                           sizeof(number), buffer, bytes, &returned);
                }
                written = returned;
                return status;
            });
    }

    double percent = 0;
    const bool readOk = cpu.performanceCounter && cpu.baseMhz.ok && cpu.query &&
                        pdhReadValue(*cpu.query, cpu.performanceCounter, percent);
    cpuApplyEffectiveFrequency(cpu, readOk, percent, cpu.query ? cpu.query->collects : 0);
}

} // namespace ovra
