#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <string>

#include "sources/clock.h"
#include "sources/device_io.h"
#include "sources/storage.h"

namespace ovra {

namespace {

static_assert(IOCTL_STORAGE_QUERY_PROPERTY == 0x2D1400);
static_assert(IOCTL_STORAGE_PREDICT_FAILURE == 0x2D1100);
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);
static_assert(sizeof(STORAGE_PREDICT_FAILURE) == 516);

constexpr DWORD descriptorBufferBytes = 1024;

} // namespace

void smartCheck(StorageInfo& storage) {
    storage.lastSmartCheck = systemTimeNow();

    KernelHandle disk; // the disk opened last; every call below acts on it
    DiskCalls calls;
    calls.open = [&disk](int32_t number, bool readWrite, uint32_t& error) {
        const std::wstring path = L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
        disk = openDevice(path.c_str(), readWrite ? GENERIC_READ | GENERIC_WRITE : 0);
        if (!disk.valid()) error = GetLastError();
        return disk.valid();
    };
    calls.queryDescriptor = [&disk](std::vector<unsigned char>& bytes) {
        STORAGE_PROPERTY_QUERY query = {};
        query.PropertyId = StorageDeviceProperty;
        query.QueryType = PropertyStandardQuery;
        bytes.assign(descriptorBufferBytes, 0);
        DWORD returned = 0;
        const bool ok = deviceControl(disk, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                                      bytes.data(), descriptorBufferBytes, returned);
        bytes.resize(ok ? std::min<DWORD>(returned, descriptorBufferBytes) : 0);
        return ok;
    };
    calls.predictFailure = [&disk](uint32_t& flag, uint32_t& error) {
        STORAGE_PREDICT_FAILURE answer = {};
        DWORD returned = 0;
        if (!deviceControl(disk, IOCTL_STORAGE_PREDICT_FAILURE, nullptr, 0, &answer, sizeof(answer),
                           returned)) {
            error = GetLastError();
            return false;
        }
        // A "success" that did not even fill the flag says nothing about the disk.
        if (returned < sizeof(answer.PredictFailure)) {
            error = ERROR_INVALID_DATA;
            return false;
        }
        flag = answer.PredictFailure;
        return true;
    };
    calls.close = [&disk] { disk.reset(); };

    storage.disks = physicalDisksProbe(calls);
    drivesUpdate(storage);
}

} // namespace ovra
