#pragma once
// Graphics adapters. The collector is not built yet: the records exist so that
// the App owns them and the ticks already call them at their places.
#include <vector>
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

struct GpuAdapter {
    Reading<double> temperature; // driver-reported, degrees Celsius
};

struct GpuInfo {
    std::vector<GpuAdapter> adapters;
};

void gpuInit(GpuInfo& gpu, PdhQuery& gpuQuery);
void gpuUpdate(GpuInfo& gpu);

} // namespace ovra
