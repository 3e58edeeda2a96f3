#pragma once
// Counts what a process holds, in ways that also work under Wine 8, where
// GetGuiResources and GetProcessHandleCount are stubs that answer 0.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace ovra::test {

// Live GDI objects: the used entries of the GDI handle table that the process
// environment block points to. 0 when the table cannot be read.
size_t gdiObjectCount(HANDLE process);

// Kernel handles the process holds, from the system handle list.
size_t kernelHandleCount(DWORD processId);

// Bytes of private memory the process has committed (0 when not reported).
uint64_t privateBytes(HANDLE process);

} // namespace ovra::test
