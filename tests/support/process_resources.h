#pragma once
// Counts what a process holds, also under Wine 8, where GetGuiResources and
// GetProcessHandleCount are stubs that answer 0.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ovra::test {

// Used entries of the GDI handle table the process environment block points to; 0
// when it cannot be read.
size_t gdiObjectCount(HANDLE process);
size_t kernelHandleCount(DWORD processId); // from the system handle list
uint64_t privateBytes(HANDLE process);     // committed private memory, 0 when not reported

} // namespace ovra::test
