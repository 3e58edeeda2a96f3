#include "sources/gpu.h"

namespace ovra {

void gpuInit(GpuInfo&, PdhQuery&) {}
void gpuUpdate(GpuInfo&) {}

} // namespace ovra
