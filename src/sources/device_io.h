#pragma once
// Opening a device and one control call, shared by the storage and battery shells.
#include "sources/handle.h"

namespace ovra {

// Opens a device for control calls, sharing read and write. Access 0 asks for no
// data access at all, which needs no administrator rights.
inline KernelHandle openDevice(const wchar_t* path, DWORD access, DWORD attributes = 0) {
    return KernelHandle(CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, attributes, nullptr));
}

// One synchronous control call; `returned` receives the bytes the driver wrote.
inline bool deviceControl(const KernelHandle& device, DWORD code, const void* input,
                          DWORD inputBytes, void* output, DWORD outputBytes, DWORD& returned) {
    returned = 0;
    return DeviceIoControl(device.get(), code, const_cast<void*>(input), inputBytes, output,
                           outputBytes, &returned, nullptr) != FALSE;
}

} // namespace ovra
