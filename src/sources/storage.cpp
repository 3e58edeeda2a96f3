#include "sources/storage.h"

namespace ovra {

void diskIoInit(StorageInfo&, PdhQuery&) {}
void diskIoUpdate(StorageInfo&) {}
void drivesUpdate(StorageInfo&) {}
void smartCheck(StorageInfo&) {}

} // namespace ovra
