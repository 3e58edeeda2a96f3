#include "sources/cpu.h"

#include <cstring>

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint32_t relationProcessorCore = 0;

uint32_t readU32(const unsigned char* at) {
    uint32_t value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

int64_t readI64(const unsigned char* at) {
    int64_t value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// Differences of the 64-bit counters, signed so that a counter that went back
// (it should not) reads as negative rather than as a huge value.
int64_t delta(uint64_t now, uint64_t before) {
    return static_cast<int64_t>(now - before);
}

} // namespace

std::wstring cpuDisplayName(const std::wstring& registryName) {
    std::wstring name = trimText(registryName);
    if (name.empty()) name = L"Prosesor tidak dikenal";
    return name;
}

uint32_t cpuCountCoreRecords(const unsigned char* records, size_t bytes) {
    if (!records) return 0;
    constexpr size_t headerBytes = 8; // relationship, size
    uint32_t cores = 0;
    size_t offset = 0;
    while (bytes - offset >= headerBytes) {
        const uint32_t relationship = readU32(records + offset);
        const uint32_t size = readU32(records + offset + 4);
        // A record too short to hold its own header, or running past the answer,
        // ends the walk instead of looping or reading beyond the buffer.
        if (size < headerBytes || size > bytes - offset) break;
        if (relationship == relationProcessorCore) ++cores;
        offset += size;
    }
    return cores;
}

void cpuApplyBaseFrequency(CpuInfo& cpu, bool callOk, uint32_t maximumMhz) {
    if (callOk && maximumMhz != 0)
        setReading(cpu.baseMhz, static_cast<double>(maximumMhz));
    else
        setUnavailable(cpu.baseMhz, Limitation::WindowsApi,
                       L"CallNtPowerInformation tidak memberi frekuensi.");
}

void cpuApplyCounterSetup(CpuInfo& cpu, bool counterAdded, uint32_t addStatus) {
    if (!counterAdded)
        setUnavailable(cpu.effectiveMhz, Limitation::WindowsApi,
                       L"Penghitung \"% Processor Performance\" tidak tersedia (" +
                           pdhStatusText(addStatus) + L").");
    // Without a base the counter's percentage cannot become a frequency, whatever
    // the counter does.
    if (!cpu.baseMhz.ok)
        setUnavailable(cpu.effectiveMhz, Limitation::WindowsApi,
                       L"Frekuensi dasar tidak diketahui.");
}

void cpuApplyNtQueryPresence(CpuInfo& cpu, bool present) {
    if (!present)
        setUnavailable(cpu.perProcessorStatus, Limitation::WindowsApi,
                       L"NtQuerySystemInformation tidak ada.");
}

void cpuApplySystemTimes(CpuInfo& cpu, bool callOk, const CpuTimes& now) {
    if (!callOk) {
        setUnavailable(cpu.usage, Limitation::WindowsApi, L"GetSystemTimes gagal.");
        return;
    }
    if (cpu.hasPreviousTimes) {
        const CpuTimes& before = cpu.previousTimes;
        // Kernel time includes idle time, so kernel + user is all the time that passed.
        const double total =
            static_cast<double>((now.kernel + now.user) - (before.kernel + before.user));
        const double idle = static_cast<double>(now.idle - before.idle);
        // Two updates inside one clock tick see no time pass: keep the last value.
        if (total != 0) {
            double percent = (1.0 - idle / total) * 100.0;
            if (percent < 0) percent = 0;
            setReading(cpu.usage, percent);
        }
    }
    cpu.previousTimes = now;
    cpu.hasPreviousTimes = true;
}

size_t cpuTimesFromRecords(const unsigned char* records, size_t bytes, CpuTimes* times,
                           size_t capacity) {
    if (!records || !times) return 0;
    size_t count = bytes / cpuProcessorRecordBytes;
    if (count > capacity) count = capacity;
    for (size_t i = 0; i < count; ++i) {
        // Each record starts with idle, kernel and user time (signed 64-bit, 100 ns).
        const unsigned char* record = records + i * cpuProcessorRecordBytes;
        times[i].idle = static_cast<uint64_t>(readI64(record));
        times[i].kernel = static_cast<uint64_t>(readI64(record + 8));
        times[i].user = static_cast<uint64_t>(readI64(record + 16));
    }
    return count;
}

void cpuApplyProcessorTimes(CpuInfo& cpu, int32_t status, const CpuTimes* now, size_t count) {
    if (status < 0) {
        setUnavailable(cpu.perProcessorStatus, Limitation::WindowsApi,
                       formatText(L"NtQuerySystemInformation gagal (0x%08lX).",
                                  static_cast<unsigned long>(static_cast<uint32_t>(status))));
        return;
    }
    if (!now) count = 0;
    // A different processor count (the first update, or processors added while
    // running) only takes a new baseline: there is nothing to compare with.
    if (count != cpu.previousProcessorTimes.size()) {
        cpu.previousProcessorTimes.assign(now, now + count);
        return;
    }
    cpu.perProcessorUsage.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const CpuTimes& before = cpu.previousProcessorTimes[i];
        const int64_t busy = delta(now[i].kernel, before.kernel) + delta(now[i].user, before.user);
        double percent = 0;
        if (busy > 0) {
            const double idle = static_cast<double>(delta(now[i].idle, before.idle));
            percent = (1.0 - idle / static_cast<double>(busy)) * 100.0;
            if (percent < 0) percent = 0;
            if (percent > 100) percent = 100;
        }
        cpu.perProcessorUsage[i] = percent;
        cpu.previousProcessorTimes[i] = now[i];
    }
    setReading(cpu.perProcessorStatus, true);
}

void cpuReadProcessorGroups(CpuInfo& cpu, const CpuGroupQuery& query) {
    size_t all = 0;
    for (uint32_t processors : cpu.groupProcessors)
        all += processors;
    // Sized once; resizing to the same size later allocates nothing.
    cpu.processorRecords.resize(all * cpuProcessorRecordBytes);
    cpu.processorTimes.resize(all);

    size_t offset = 0; // processors of the groups before
    size_t count = 0;  // decoded so far
    for (size_t group = 0; group < cpu.groupProcessors.size(); ++group) {
        const size_t processors = cpu.groupProcessors[group];
        unsigned char* area = cpu.processorRecords.data() + offset * cpuProcessorRecordBytes;
        const size_t areaBytes = processors * cpuProcessorRecordBytes;
        std::memset(area, 0, areaBytes);
        uint32_t written = 0;
        const int32_t status =
            query(static_cast<uint16_t>(group), area, static_cast<uint32_t>(areaBytes), written);
        if (status < 0) {
            cpuApplyProcessorTimes(cpu, status, nullptr, 0);
            return;
        }
        const size_t answered = written < areaBytes ? written : areaBytes;
        count += cpuTimesFromRecords(area, answered, cpu.processorTimes.data() + count, processors);
        offset += processors;
    }
    cpuApplyProcessorTimes(cpu, 0, cpu.processorTimes.data(), count);
}

void cpuApplyEffectiveFrequency(CpuInfo& cpu, bool readOk, double percent, uint32_t collects) {
    if (!cpu.performanceCounter || !cpu.baseMhz.ok) return;
    if (readOk && percent > 0) {
        setReading(cpu.effectiveMhz, percent * cpu.baseMhz.value / 100.0);
        return;
    }
    // A percentage counter has its first value after the second collection.
    if (collects < 2) return;
    setUnavailable(cpu.effectiveMhz, Limitation::WindowsApi,
                   L"Penghitung performa prosesor tidak memberi nilai.");
}

} // namespace ovra
