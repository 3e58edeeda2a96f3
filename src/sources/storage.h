#pragma once
// Drives (volumes with a letter) with their capacity and disk activity, and the
// physical disks with the failure prediction their storage driver reports.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

struct Drive {
    wchar_t letter = L'A'; // upper case
    std::wstring label;
    std::wstring fileSystem; // "NTFS" ...
    uint32_t driveType = 0;  // 2 removable, 3 fixed
    bool ready = false;      // the free-space query succeeded
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;    // the volume's free space, not the caller's quota
    Reading<double> readRate;  // bytes per second
    Reading<double> writeRate; // bytes per second
    int32_t diskNumber = -1;   // physical disk holding the volume, -1 when unknown
    bool isSystem = false;     // holds the Windows folder
};

struct PhysicalDisk {
    int32_t number = 0; // N of \\.\PhysicalDriveN
    std::wstring model;
    std::wstring busType; // empty when the property query failed
    Reading<bool> smart;  // value: the disk predicts a failure
    std::wstring letters; // "C: D:"
};

struct StorageInfo {
    std::vector<Drive> drives;       // ascending letter order
    std::vector<PhysicalDisk> disks; // ascending disk number
    Reading<bool> ioStatus;          // value: both counter arrays were read at the last update
    uint64_t lastSmartCheck = 0;     // FILETIME (UTC) of the last check's start; 0 before
};

// Adds the LogicalDisk counters to the fast query and lists the drives when they
// were added; called once, before the first collection.
void diskIoInit(StorageInfo& storage, PdhQuery& fastQuery);
// Re-enumerates the drives: capacity, volume information, physical disk number.
void drivesUpdate(StorageInfo& storage);
// Per-drive read and write rates; run after the fast query was collected.
void diskIoUpdate(StorageInfo& storage);
// Rebuilds the physical-disk list with each disk's failure prediction, then the drives.
void smartCheck(StorageInfo& storage);

// --- The rules behind those, over the plain answers of Windows. ---

// What Windows answered about one listed drive letter.
struct VolumeAnswer {
    wchar_t letter = L'A';
    uint32_t driveType = 0;
    bool spaceOk = false;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
    std::wstring label;      // empty when the volume information failed
    std::wstring fileSystem; // likewise
    bool deviceNumberOk = false;
    uint32_t deviceType = 0;
    uint32_t deviceNumber = 0;
};

Drive driveFromVolume(const VolumeAnswer& answer, wchar_t systemLetter);

// Replaces the drive list; a drive listed before keeps its rates, and every
// physical disk's letters ("C: D:") follow the new list.
void drivesApply(StorageInfo& storage, std::vector<Drive> fresh);

// The two wildcard reads of the LogicalDisk counters, each with whether it
// succeeded; an instance belongs to a drive only when named exactly like "C:".
void diskIoApplyRates(StorageInfo& storage, bool readOk, const std::vector<PdhInstanceValue>& reads,
                      bool writeOk, const std::vector<PdhInstanceValue>& writes);

// Interface text of a Windows storage bus type: "SATA", "NVMe", "Lainnya" ...
std::wstring busTypeText(uint32_t busType);

// Model and interface from a standard storage device descriptor, `bytes` being
// what the driver returned. Fields outside the returned bytes count as absent.
struct DescriptorText {
    std::wstring model; // vendor and product, empty when neither is given
    std::wstring busType;
};
DescriptorText physicalDiskFromDescriptor(const unsigned char* bytes, size_t size);

// The Windows calls behind one check, replaceable in tests. Each call acts on the
// disk opened last.
struct DiskCalls {
    // Opens \\.\PhysicalDriveN, with read and write access when asked (else access
    // 0); false with the Windows error.
    std::function<bool(int32_t number, bool readWrite, uint32_t& error)> open;
    // The standard device descriptor; `bytes` holds what the driver returned.
    std::function<bool(std::vector<unsigned char>& bytes)> queryDescriptor;
    // IOCTL_STORAGE_PREDICT_FAILURE; false with the Windows error.
    std::function<bool(uint32_t& flag, uint32_t& error)> predictFailure;
    std::function<void()> close;
};

// Probes \\.\PhysicalDrive0 onward (below 32), stopping after 8 consecutive
// numbers that do not open.
std::vector<PhysicalDisk> physicalDisksProbe(const DiskCalls& calls);

} // namespace ovra
