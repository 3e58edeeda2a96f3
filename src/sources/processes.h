#pragma once
// The process list, read only while its page is shown. Not built yet.
#include <cstdint>

namespace ovra {

struct ProcessList {};

void processUpdate(ProcessList& list, uint32_t logicalProcessors);
void processClear(ProcessList& list);

} // namespace ovra
