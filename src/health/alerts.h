#pragma once
// Threshold alerts. The evaluation is not built yet: no alert is ever raised.
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

struct AlertState {
    std::vector<Alert> active;
};

// The source records the alerts and the findings look at.
struct HealthInputs {
    const CpuInfo& cpu;
    const MemoryInfo& memory;
    const StorageInfo& storage;
    const BatteryInfo& battery;
    const ThermalInfo& thermal;
    const GpuInfo& gpu;
};

// Evaluates every kind and returns the alerts to notify now.
std::vector<Alert> evaluateAlerts(AlertState& state, const Settings& settings,
                                  const HealthInputs& inputs, unsigned long long now);

} // namespace ovra
