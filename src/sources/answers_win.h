#pragma once
// How the shells copy Windows' answers into the plain data of their cores, one
// function per answer, apart from the call that fetches it: a test hands each one
// a fabricated answer, so a field copied into the wrong place shows.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <psapi.h>

#include "sources/battery.h"
#include "sources/memory.h"
#include "sources/network.h"

namespace ovra {

// The physical memory from GlobalMemoryStatusEx (when `status` is not null) and
// the commit figures from GetPerformanceInfo (pages, made bytes; when
// `performance` is not null, else unavailable).
void memoryFromAnswers(MemoryInfo& memory, const MEMORYSTATUSEX* status,
                       const PERFORMANCE_INFORMATION* performance);

// One row of GetIfTable2.
void networkRowFromAnswer(NetworkRow& row, const MIB_IF_ROW2& mib);

// GetSystemPowerStatus's answer.
PowerStatusAnswer powerStatusFromAnswer(const SYSTEM_POWER_STATUS& status);

} // namespace ovra
