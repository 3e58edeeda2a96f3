#include "sources/memory.h"

// Memory is not measured yet.
namespace ovra {

void memoryUpdate(MemoryInfo&) {}

} // namespace ovra
