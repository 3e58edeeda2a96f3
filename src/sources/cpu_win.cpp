#include "sources/cpu.h"

// The processor is not measured yet.
namespace ovra {

void cpuInit(CpuInfo&, PdhQuery&) {}
void cpuUpdate(CpuInfo&) {}

} // namespace ovra
