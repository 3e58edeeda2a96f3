#include "sources/cpu.h"

#include <algorithm>
#include <cstring>

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint32_t relationProcessorCore = 0;

template <class T> T readAt(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

// Each record starts with idle, kernel and user time (signed 64-bit, 100 ns).
CpuTimes timesOfRecord(const unsigned char* record) {
    return CpuTimes{static_cast<uint64_t>(readAt<int64_t>(record)),
                    static_cast<uint64_t>(readAt<int64_t>(record + 8)),
                    static_cast<uint64_t>(readAt<int64_t>(record + 16))};
}

// Differences of the 64-bit counters, signed so that a counter that went back
// (it should not) reads as negative rather than as a huge value.
int64_t delta(uint64_t now, uint64_t before) {
    return static_cast<int64_t>(now - before);
}

double processorPercent(const CpuTimes& now, const CpuTimes& before) {
    const int64_t busy = delta(now.kernel, before.kernel) + delta(now.user, before.user);
    if (busy <= 0) return 0;
    const double idle = static_cast<double>(delta(now.idle, before.idle));
    return std::clamp((1.0 - idle / static_cast<double>(busy)) * 100.0, 0.0, 100.0);
}

// Whole records answered in a group's area.
size_t answeredRecords(uint32_t processors, uint32_t written) {
    return std::min<size_t>(written / cpuProcessorRecordBytes, processors);
}

} // namespace

uint32_t cpuCountCoreRecords(const unsigned char* records, size_t bytes) {
    if (!records) return 0;
    constexpr size_t headerBytes = 8; // relationship, size
    uint32_t cores = 0;
    size_t offset = 0;
    while (bytes - offset >= headerBytes) {
        const uint32_t relationship = readAt<uint32_t>(records + offset);
        const uint32_t size = readAt<uint32_t>(records + offset + 4);
        // A record too short to hold its own header, or running past the answer,
        // ends the walk instead of looping or reading beyond the buffer.
        if (size < headerBytes || size > bytes - offset) break;
        if (relationship == relationProcessorCore) ++cores;
        offset += size;
    }
    return cores;
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
        if (total != 0) setReading(cpu.usage, std::max(0.0, (1.0 - idle / total) * 100.0));
    }
    cpu.previousTimes = now;
    cpu.hasPreviousTimes = true;
}

void cpuApplyProcessorRecords(CpuInfo& cpu, const unsigned char* records, const uint32_t* written) {
    size_t count = 0;
    for (size_t group = 0; group < cpu.groupProcessors.size(); ++group)
        count += answeredRecords(cpu.groupProcessors[group], written[group]);
    // A different processor count (the first update, or processors added while
    // running) only takes a new baseline: there is nothing to compare with.
    const bool baseline = count != cpu.previousProcessorTimes.size();
    if (baseline)
        cpu.previousProcessorTimes.resize(count);
    else
        cpu.perProcessorUsage.resize(count);

    size_t index = 0;
    for (size_t group = 0; group < cpu.groupProcessors.size(); ++group) {
        const uint32_t processors = cpu.groupProcessors[group];
        for (size_t i = 0; i < answeredRecords(processors, written[group]); ++i, ++index) {
            const CpuTimes now = timesOfRecord(records + i * cpuProcessorRecordBytes);
            if (!baseline)
                cpu.perProcessorUsage[index] =
                    processorPercent(now, cpu.previousProcessorTimes[index]);
            cpu.previousProcessorTimes[index] = now;
        }
        records += processors * cpuProcessorRecordBytes;
    }
    if (!baseline) setReading(cpu.perProcessorStatus, true);
}

void cpuApplyProcessorFailure(CpuInfo& cpu, int32_t status) {
    setUnavailable(cpu.perProcessorStatus, Limitation::WindowsApi,
                   formatText(L"NtQuerySystemInformation gagal (0x%08lX).",
                              static_cast<unsigned long>(static_cast<uint32_t>(status))));
}

void cpuApplyEffectiveFrequency(CpuInfo& cpu, bool readOk, double percent, uint32_t collects) {
    if (!cpu.baseMhz.ok) return;
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
