#pragma once
// ACPI thermal zones and the one temperature used by samples and alerts. The
// collector is not built yet; the temperature stays missing until it is.
#include "sources/gpu.h"
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

struct ThermalInfo {
    Reading<double> maxTemp; // highest zone temperature, degrees Celsius
};

void thermalInit(ThermalInfo& thermal, PdhQuery& thermalQuery);
void thermalUpdate(ThermalInfo& thermal);

// The hottest official temperature of thermal zones and GPUs.
Reading<double> hottestOfficialTemperature(const ThermalInfo& thermal, const GpuInfo& gpu);

} // namespace ovra
