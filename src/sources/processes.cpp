#include "sources/processes.h"

namespace ovra {

void processUpdate(ProcessList&, uint32_t) {}
void processClear(ProcessList&) {}

} // namespace ovra
