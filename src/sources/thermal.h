#pragma once
// ACPI thermal zones, the fixed explanations for processor temperature and fans,
// and the one temperature used by samples, alerts and findings.
#include <string>
#include <vector>
#include "sources/gpu.h"
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

struct ThermalZone {
    std::wstring name; // the PDH instance name, for example the ACPI zone path
    double celsius = 0;
};

struct ThermalInfo {
    Reading<bool> status;           // whether any thermal zone could be read
    std::vector<ThermalZone> zones; // plausible zones of the last update, in PDH order
    Reading<double> maxTemp;        // highest zone temperature, degrees Celsius
    Reading<double> cpuCoreTemp;    // never available: Windows has no official source
    Reading<double> cpuFan;         // never available: the firmware keeps it
    std::wstring counterReason;     // why the zone counter is missing; empty when added
};

// Adds the zone counter to the thermal query and sets the fixed readings; run
// once at start-up, after the GPU initialisation.
void thermalInit(ThermalInfo& thermal, PdhQuery& thermalQuery);

// Rebuilds the zones from the thermal query's last collection.
void thermalUpdate(ThermalInfo& thermal);

// The hottest official temperature of thermal zones and GPUs, for samples, alerts
// and findings (the safety monitor reads maxTemp alone).
Reading<double> hottestOfficialTemperature(const ThermalInfo& thermal, const GpuInfo& gpu);

// The rules behind thermalInit and thermalUpdate, over the plain answers of PDH.

// One update from the zone instances (values in kelvin, or tenths of a kelvin)
// when the counter exists; a failed read is an empty list.
void thermalApplyInstances(ThermalInfo& thermal, bool counterAdded,
                           const std::vector<PdhInstanceValue>& instances);

} // namespace ovra
