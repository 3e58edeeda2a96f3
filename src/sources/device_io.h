#pragma once
// Device handles for the storage and battery controls, closed by their owner.
#include <windows.h>

#include <utility>

namespace ovra {

class DeviceHandle {
public:
    DeviceHandle() = default;
    explicit DeviceHandle(HANDLE handle) : handle_(handle) {}
    ~DeviceHandle() { reset(); }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    DeviceHandle(DeviceHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    DeviceHandle& operator=(DeviceHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    void reset() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Opens a device for control calls, sharing read and write. Access 0 asks for no
// data access at all, which needs no administrator rights.
inline DeviceHandle openDevice(const wchar_t* path, DWORD access, DWORD attributes = 0) {
    return DeviceHandle(CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, attributes, nullptr));
}

// One synchronous control call; `returned` receives the bytes the driver wrote.
inline bool deviceControl(const DeviceHandle& device, DWORD code, const void* input,
                          DWORD inputBytes, void* output, DWORD outputBytes, DWORD& returned) {
    returned = 0;
    return DeviceIoControl(device.get(), code, const_cast<void*>(input), inputBytes, output,
                           outputBytes, &returned, nullptr) != FALSE;
}

} // namespace ovra
