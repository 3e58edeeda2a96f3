#include "sources/thermal.h"

namespace ovra {

void thermalInit(ThermalInfo& thermal, PdhQuery& thermalQuery) {
    thermal.query = &thermalQuery;
    uint32_t status = 0;
    thermal.counter =
        pdhAddCounter(thermalQuery, L"\\Thermal Zone Information(*)\\Temperature", &status);
    thermalApplySetup(thermal, thermal.counter != nullptr, status);
}

void thermalUpdate(ThermalInfo& thermal) {
    // A failed read leaves the list empty, which the core reports like no zone.
    if (thermal.counter && thermal.query)
        pdhReadArray(*thermal.query, thermal.counter, thermal.scratch);
    else
        thermal.scratch.clear();
    thermalApplyInstances(thermal, thermal.counter != nullptr, thermal.scratch);
}

} // namespace ovra
