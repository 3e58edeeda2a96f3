#pragma once
// Drives, disk activity and physical disks. The collectors are not built yet; the
// drive list stays empty, so samples carry no disk rates until they are.
#include <vector>
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

struct Drive {
    wchar_t letter = L'C';
    Reading<double> readRate;  // bytes per second
    Reading<double> writeRate; // bytes per second
};

struct PhysicalDisk {};

struct StorageInfo {
    std::vector<Drive> drives; // ascending letter order
    std::vector<PhysicalDisk> disks;
};

void diskIoInit(StorageInfo& storage, PdhQuery& fastQuery);
void diskIoUpdate(StorageInfo& storage);
void drivesUpdate(StorageInfo& storage);
void smartCheck(StorageInfo& storage);

} // namespace ovra
