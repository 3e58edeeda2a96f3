#pragma once
// The four window timers that drive all measuring.
#include <cstdint>
#include "sources/cpu.h"
#include "sources/memory.h"
#include "sources/network.h"
#include "sources/reading.h"
#include "sources/storage.h"
#include "store/history.h"

namespace ovra {

struct App;

enum TimerId : uintptr_t {
    fastTimer = 1,    // CPU, memory, network, disk I/O, the sample, alerts
    slowTimer = 2,    // GPU, thermal zones, battery, drive capacities
    processTimer = 3, // the process list, only while its page is shown
    smartTimer = 4,   // physical-disk health
};

inline constexpr unsigned smartIntervalMs = 1'800'000;

// Period of the process timer for a process mode, 0 when it must not run.
unsigned processIntervalMs(int processMode, int page);

// (Re)starts every timer from the settings and the current page; setting a timer
// that runs already restarts its period from now.
void restartTimers(App& app);

void onTimer(App& app, uintptr_t id);
void fastTick(App& app);
void slowTick(App& app);
void processTick(App& app);

// The physical-disk check at once, outside its 30-minute period: the storage
// page's "Periksa SMART sekarang".
void checkSmartNow(App& app);

// Condenses the current readings into one history point. A value that is not
// available stays NaN; zero is a real value.
Sample buildSample(uint64_t time, const CpuInfo& cpu, const MemoryInfo& memory,
                   const NetworkInfo& network, const StorageInfo& storage,
                   const Reading<double>& hottestTemperature);

} // namespace ovra
