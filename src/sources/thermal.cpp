#include "sources/thermal.h"

namespace ovra {

void thermalInit(ThermalInfo&, PdhQuery&) {}
void thermalUpdate(ThermalInfo&) {}

Reading<double> hottestOfficialTemperature(const ThermalInfo& thermal, const GpuInfo&) {
    return thermal.maxTemp;
}

} // namespace ovra
