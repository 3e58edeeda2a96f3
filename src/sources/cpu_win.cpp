#include "sources/cpu.h"

#include <windows.h>

#include <vector>

#include "sources/clock.h"
#include "sources/format.h"
#include "sources/handle.h"
#include "sources/registry.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

using CallNtPowerInformationFunction = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID,
                                                     ULONG);
using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtQuerySystemInformationExFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PVOID, ULONG, PULONG);

constexpr ULONG systemProcessorPerformanceInformation = 8;
constexpr LONG statusNotImplemented = static_cast<LONG>(0xC0000002);

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

// What the updates need besides the record: the processor is one per process.
struct CpuShell {
    PdhQuery* query = nullptr;
    PdhCounter performanceCounter = nullptr; // "% Processor Performance"
    NtQuerySystemInformationFunction plain = nullptr;
    NtQuerySystemInformationExFunction byGroup = nullptr;
    // Sized once for all processors: the raw records and the bytes each group answered.
    std::vector<unsigned char> records;
    std::vector<uint32_t> written;
};
CpuShell shell;

uint32_t countPhysicalCores() {
    DWORD bytes = 0;
    GetLogicalProcessorInformationEx(RelationProcessorCore, nullptr, &bytes);
    if (bytes == 0) return 0;
    std::vector<unsigned char> records(bytes);
    if (!GetLogicalProcessorInformationEx(
            RelationProcessorCore,
            reinterpret_cast<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(records.data()), &bytes))
        return 0;
    return cpuCountCoreRecords(records.data(), bytes < records.size() ? bytes : records.size());
}

// The first processor's maximum frequency, 0 when powrprof cannot tell.
uint32_t readBaseMhz(uint32_t logicalProcessors) {
    const LibraryHandle powrprof(loadSystemLibrary(L"powrprof.dll"));
    const auto callNtPowerInformation =
        systemFunction<CallNtPowerInformationFunction>(powrprof.get(), "CallNtPowerInformation");
    if (!callNtPowerInformation || logicalProcessors == 0) return 0;
    // One record for every processor of every group: a buffer for the current
    // group only is too small on machines with more than 64.
    std::vector<ProcessorPowerRecord> records(logicalProcessors, ProcessorPowerRecord{});
    const LONG status =
        callNtPowerInformation(ProcessorInformation, nullptr, 0, records.data(),
                               static_cast<ULONG>(records.size() * sizeof(ProcessorPowerRecord)));
    return status == 0 ? records[0].maximumMhz : 0;
}

// The plain query answers the calling thread's processor group only; with more
// than one group each is asked by number.
void readProcessors(CpuInfo& cpu) {
    const size_t groups = cpu.groupProcessors.size();
    size_t all = 0;
    for (uint32_t processors : cpu.groupProcessors)
        all += processors;
    // assign zero-fills and keeps the storage of the first update.
    shell.records.assign(all * cpuProcessorRecordBytes, 0);
    shell.written.assign(groups, 0);
    unsigned char* area = shell.records.data();
    for (size_t group = 0; group < groups; ++group) {
        const ULONG bytes =
            static_cast<ULONG>(cpu.groupProcessors[group] * cpuProcessorRecordBytes);
        ULONG returned = 0;
        LONG status = statusNotImplemented;
        if (groups <= 1) {
            status = shell.plain(systemProcessorPerformanceInformation, area, bytes, &returned);
        } else if (shell.byGroup) {
            USHORT number = static_cast<USHORT>(group);
            status = shell.byGroup(systemProcessorPerformanceInformation, &number, sizeof(number),
                                   area, bytes, &returned);
        }
        if (status < 0) return cpuApplyProcessorFailure(cpu, status);
        shell.written[group] = returned;
        area += bytes;
    }
    cpuApplyProcessorRecords(cpu, shell.records.data(), shell.written.data());
}

} // namespace

void cpuInit(CpuInfo& cpu, PdhQuery& fastQuery) {
    shell = CpuShell{};
    shell.query = &fastQuery;
    cpu.name =
        regReadString(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                      L"ProcessorNameString", true);
    if (cpu.name.empty()) cpu.name = L"Prosesor tidak dikenal";
    cpu.logicalProcessors = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    const WORD groups = GetActiveProcessorGroupCount();
    cpu.groupProcessors.clear();
    for (WORD group = 0; group < groups; ++group)
        cpu.groupProcessors.push_back(GetActiveProcessorCount(group));
    if (cpu.groupProcessors.empty()) cpu.groupProcessors.push_back(cpu.logicalProcessors);
    if (const uint32_t cores = countPhysicalCores(); cores > 0) cpu.physicalCores = cores;

    if (const uint32_t mhz = readBaseMhz(cpu.logicalProcessors); mhz != 0)
        setReading(cpu.baseMhz, static_cast<double>(mhz));
    else
        setUnavailable(cpu.baseMhz, Limitation::WindowsApi,
                       L"CallNtPowerInformation tidak memberi frekuensi.");

    uint32_t status = 0;
    shell.performanceCounter = pdhAddCounter(
        fastQuery, L"\\Processor Information(_Total)\\% Processor Performance", &status);
    if (!shell.performanceCounter)
        setUnavailable(cpu.effectiveMhz, Limitation::WindowsApi,
                       L"Penghitung \"% Processor Performance\" tidak tersedia (" +
                           pdhStatusText(status) + L").");
    // Without a base the counter's percentage cannot become a frequency, whatever
    // the counter does.
    if (!cpu.baseMhz.ok)
        setUnavailable(cpu.effectiveMhz, Limitation::WindowsApi,
                       L"Frekuensi dasar tidak diketahui.");

    // ntdll is in every process already; it is looked up, never loaded.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    shell.plain =
        systemFunction<NtQuerySystemInformationFunction>(ntdll, "NtQuerySystemInformation");
    shell.byGroup =
        systemFunction<NtQuerySystemInformationExFunction>(ntdll, "NtQuerySystemInformationEx");
    if (!shell.plain)
        setUnavailable(cpu.perProcessorStatus, Limitation::WindowsApi,
                       L"NtQuerySystemInformation tidak ada.");

    cpuUpdate(cpu);
}

void cpuUpdate(CpuInfo& cpu) {
    FILETIME idle = {}, kernel = {}, user = {};
    const bool timesOk = GetSystemTimes(&idle, &kernel, &user) != FALSE;
    cpuApplySystemTimes(cpu, timesOk,
                        CpuTimes{fileTimeValue(idle), fileTimeValue(kernel), fileTimeValue(user)});

    if (shell.plain) readProcessors(cpu);

    if (shell.performanceCounter && shell.query && cpu.baseMhz.ok) {
        double percent = 0;
        const bool readOk = pdhReadValue(*shell.query, shell.performanceCounter, percent);
        cpuApplyEffectiveFrequency(cpu, readOk, percent, shell.query->collects);
    }
}

} // namespace ovra
