#include "process_resources.h"

#include <winternl.h>

#include <vector>

namespace ovra::test {

size_t gdiObjectCount(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    uint64_t table = 0; // GdiSharedHandleTable, at 0xF8 in the 64-bit PEB
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  nullptr) != 0 ||
        !ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + 0xF8,
                           &table, sizeof(table), nullptr))
        return 0;
    constexpr size_t entrySize = 24, typeOffset = 14; // a used entry has a non-zero type
    std::vector<BYTE> entries(0x10000 * entrySize);
    SIZE_T read = 0;
    ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(),
                      &read);
    size_t used = 0;
    for (size_t at = typeOffset; at < read; at += entrySize)
        used += entries[at] != 0;
    return used;
}

size_t kernelHandleCount(DWORD processId) {
    // SystemExtendedHandleInformation: a count, a reserved word, then entries of
    // 40 bytes with the owning process id at offset 8.
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS(64), buffer.data(),
                                              ULONG(buffer.size()), nullptr)) ==
           NTSTATUS(0xC0000004L)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    const auto* words = reinterpret_cast<const ULONG_PTR*>(buffer.data());
    size_t count = 0;
    for (ULONG_PTR i = 0; status == 0 && i < words[0]; ++i)
        count += words[2 + i * 5 + 1] == processId;
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
