#pragma once
// One owner for every kind of Windows handle: closed exactly once, by the function
// its kind needs, so that no path leaks a kernel handle, a key or a GDI object.
#include <windows.h>

#include <utility>

namespace ovra {

// Traits: the handle type, its "none" value, what counts as valid and how it closes.
template <class Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    bool valid() const { return Traits::valid(handle_); }
    explicit operator bool() const { return valid(); }
    Handle get() const { return handle_; }
    Handle release() { return std::exchange(handle_, Traits::none()); }
    // For the functions that answer a new handle through a pointer.
    Handle* receive() {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Traits::none()) {
        if (valid()) Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::none();
};

// Kernel objects (files, devices, processes, snapshots, mutexes): Windows answers
// null from some functions and INVALID_HANDLE_VALUE from others.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static bool valid(Handle handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { CloseHandle(handle); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// A library this program loaded itself (never one only looked up).
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static bool valid(Handle module) { return module != nullptr; }
    static void close(Handle module) { FreeLibrary(module); }
};
using LibraryHandle = UniqueHandle<LibraryTraits>;

} // namespace ovra
