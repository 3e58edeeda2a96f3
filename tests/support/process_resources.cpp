#include "process_resources.h"

#include <winternl.h>

#include <vector>

namespace ovra::test {

size_t gdiObjectCount(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  nullptr) != 0)
        return 0;
    constexpr size_t tableOffset = 0xF8; // GdiSharedHandleTable in the 64-bit PEB
    uint64_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + tableOffset,
                           &table, sizeof(table), &read) ||
        !table)
        return 0;
    struct Entry {
        uint64_t object;
        uint32_t owner;
        uint16_t instance;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    std::vector<Entry> entries(0x10000);
    ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                      entries.size() * sizeof(Entry), &read);
    size_t used = 0;
    for (size_t i = 0; i < read / sizeof(Entry); ++i)
        if (entries[i].type != 0) ++used;
    return used;
}

size_t kernelHandleCount(DWORD processId) {
    struct Entry {
        void* object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT creatorBackTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct List {
        ULONG_PTR count;
        ULONG_PTR reserved;
        Entry handles[1];
    };
    constexpr auto extendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(extendedHandleInformation, buffer.data(),
                                              ULONG(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004L)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    size_t count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
        if (list->handles[i].processId == processId) ++count;
    return count;
}

uint64_t privateBytes(HANDLE process) {
    // Walks the address space rather than asking GetProcessMemoryInfo, whose
    // PrivateUsage Wine leaves at 0.
    uint64_t bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    const BYTE* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return bytes;
}

} // namespace ovra::test
