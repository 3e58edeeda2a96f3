#pragma once
// Threshold alerts: five conditions watched on every fast tick, the list of those
// raised now, and the few that deserve a notification (at most one per kind every
// 10 minutes, and only when a condition newly appears).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "sources/battery.h"
#include "sources/cpu.h"
#include "sources/gpu.h"
#include "sources/memory.h"
#include "sources/storage.h"
#include "sources/thermal.h"
#include "store/settings.h"

namespace ovra {

struct Alert {
    AlertKind kind = AlertKind::Cpu;
    std::wstring title;
    std::wstring message;
};

// Times are milliseconds of the monotonic clock (GetTickCount64), so setting the
// wall clock neither fires an alert nor cuts a quiet period short.
struct AlertState {
    std::vector<Alert> active;            // raised by the latest evaluation, in kind order
    std::optional<uint64_t> cpuHighSince; // start of the current run of high CPU readings
    bool cpuSustained = false; // high for 30 s or more, whether or not the CPU alert is on
    std::array<std::optional<uint64_t>, alertKindCount> lastNotified{}; // empty: never
    std::array<bool, alertKindCount> present{}; // raised by the previous evaluation
};

// The source records the alerts and the findings look at. Drives, physical disks
// and GPU adapters are read from their records' lists.
struct HealthInputs {
    const CpuInfo& cpu;
    const MemoryInfo& memory;
    const StorageInfo& storage;
    const BatteryInfo& battery;
    const ThermalInfo& thermal;
    const GpuInfo& gpu;
};

// Evaluates every kind at `nowMs` (monotonic milliseconds), replaces the active list and returns
// copies of the alerts to notify now, in kind order. Gating happens here, so the notification clock
// runs even while notifications are switched off.
std::vector<Alert> evaluateAlerts(AlertState& state, const Settings& settings,
                                  const HealthInputs& inputs, uint64_t nowMs);

// The drives that count for disk space: ready, fixed (never removable), with a size.
bool driveCountsForSpace(const Drive& drive);
// Free space of such a drive in percent.
double freePercent(const Drive& drive);

} // namespace ovra
