#include "health/alerts.h"

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint64_t cpuSustainMs = 30'000;
// Less than 10 minutes since the last notification of a kind: stay quiet.
constexpr uint64_t quietMs = 600'000;
constexpr uint32_t fixedDrive = 3; // the Windows drive type

constexpr const wchar_t* alertTitles[alertKindCount] = {L"CPU sibuk terus-menerus",
                                                        L"RAM hampir penuh", L"Ruang disk menipis",
                                                        L"Baterai lemah", L"Suhu tinggi"};

size_t indexOf(AlertKind kind) {
    return size_t(kind);
}

bool enabled(const Settings& settings, AlertKind kind) {
    return settings.alertEnabled[indexOf(kind)];
}

int threshold(const Settings& settings, AlertKind kind) {
    return settings.alertThreshold[indexOf(kind)];
}

void raise(std::vector<Alert>& raised, AlertKind kind, std::wstring message) {
    raised.push_back(Alert{kind, alertTitles[indexOf(kind)], std::move(message)});
}

void evaluateCpu(AlertState& state, const Settings& settings, const CpuInfo& cpu, uint64_t nowMs,
                 std::vector<Alert>& raised) {
    const int limit = threshold(settings, AlertKind::Cpu);
    if (!cpu.usage.ok || cpu.usage.value < double(limit)) {
        state.cpuHighSince.reset();
        state.cpuSustained = false;
        return;
    }
    if (!state.cpuHighSince) {
        state.cpuHighSince = nowMs;
        state.cpuSustained = false;
    } else if (nowMs - *state.cpuHighSince < cpuSustainMs) {
        state.cpuSustained = false;
    } else {
        state.cpuSustained = true;
        if (enabled(settings, AlertKind::Cpu))
            raise(raised, AlertKind::Cpu,
                  formatText(L"Penggunaan CPU %ls selama lebih dari 30 detik (ambang %d%%).",
                             formatPercent(cpu.usage.value).c_str(), limit));
    }
}

void evaluateRam(const Settings& settings, const MemoryInfo& memory, std::vector<Alert>& raised) {
    const int limit = threshold(settings, AlertKind::Ram);
    if (!enabled(settings, AlertKind::Ram) || !memory.ok || memory.usedPercent < double(limit))
        return;
    raise(raised, AlertKind::Ram,
          formatText(L"RAM terpakai %ls (ambang %d%%). Tersedia %ls.",
                     formatPercent(memory.usedPercent).c_str(), limit,
                     formatBytes(double(memory.availableBytes)).c_str()));
}

void evaluateDisk(const Settings& settings, const StorageInfo& storage,
                  std::vector<Alert>& raised) {
    if (!enabled(settings, AlertKind::Disk)) return;
    const double limit = threshold(settings, AlertKind::Disk);
    std::wstring text;
    for (const Drive& drive : storage.drives) {
        if (!driveCountsForSpace(drive)) continue;
        const double free = freePercent(drive);
        if (limit > free)
            text += formatText(L"%lc: tersisa %ls (%ls). ", wint_t(drive.letter),
                               formatBytes(double(drive.freeBytes)).c_str(),
                               formatPercent(free).c_str());
    }
    if (!text.empty()) raise(raised, AlertKind::Disk, trimText(text));
}

void evaluateBattery(const Settings& settings, const BatteryInfo& battery,
                     std::vector<Alert>& raised) {
    const int limit = threshold(settings, AlertKind::Battery);
    if (!enabled(settings, AlertKind::Battery) || !battery.present || !battery.percent.ok ||
        int64_t(battery.percent.value) > limit)
        return;
    // An unknown power source counts as unplugged.
    if (battery.onAc.ok && battery.onAc.value) return;
    raise(raised, AlertKind::Battery,
          formatText(L"Baterai %d%% dan tidak sedang terhubung ke listrik.",
                     int(battery.percent.value)));
}

void evaluateTemperature(const Settings& settings, const Reading<double>& hottest,
                         std::vector<Alert>& raised) {
    const int limit = threshold(settings, AlertKind::Temperature);
    if (!enabled(settings, AlertKind::Temperature) || !hottest.ok || hottest.value < double(limit))
        return;
    raise(raised, AlertKind::Temperature,
          formatText(L"Sensor resmi melaporkan %ls°C (ambang %d°C). Pastikan ventilasi tidak "
                     L"tertutup.",
                     formatNumber(hottest.value, 0).c_str(), limit));
}

} // namespace

bool driveCountsForSpace(const Drive& drive) {
    return drive.ready && drive.totalBytes != 0 && drive.driveType == fixedDrive;
}

double freePercent(const Drive& drive) {
    return double(drive.freeBytes) * 100.0 / double(drive.totalBytes);
}

std::vector<Alert> evaluateAlerts(AlertState& state, const Settings& settings,
                                  const HealthInputs& inputs, uint64_t nowMs) {
    std::vector<Alert> raised;
    evaluateCpu(state, settings, inputs.cpu, nowMs, raised);
    evaluateRam(settings, inputs.memory, raised);
    evaluateDisk(settings, inputs.storage, raised);
    evaluateBattery(settings, inputs.battery, raised);
    evaluateTemperature(settings, hottestOfficialTemperature(inputs.thermal, inputs.gpu), raised);

    std::array<bool, alertKindCount> raisedNow{};
    std::vector<Alert> notify;
    for (const Alert& alert : raised) {
        const size_t kind = indexOf(alert.kind);
        raisedNow[kind] = true;
        // A condition that stays raised notifies once; one that returns within 10
        // minutes of its last notification stays quiet.
        const std::optional<uint64_t>& last = state.lastNotified[kind];
        if (state.present[kind] || (last && nowMs - *last < quietMs)) continue;
        state.lastNotified[kind] = nowMs;
        notify.push_back(alert);
    }
    state.present = raisedNow;
    state.active = std::move(raised);
    return notify;
}

} // namespace ovra
