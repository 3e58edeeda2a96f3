#pragma once
// The four window timers that drive all measuring.
#include <cstdint>
#include "sources/cpu.h"
#include "sources/memory.h"
#include "sources/network.h"
#include "sources/reading.h"
#include "sources/storage.h"
#include "store/history.h"
#include "store/settings.h"

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
// Period of any timer for these settings on this page, 0 when it must not run.
unsigned timerPeriodMs(const Settings& settings, int page, TimerId id);

// (Re)starts every timer from the settings and the current page; setting a timer
// that runs already restarts its period from now.
void restartTimers(App& app);
// Starts or stops the process timer for the current page; the other timers keep
// their phase, so moving between pages never delays a sample or the disk check.
void restartProcessTimer(App& app);

void onTimer(App& app, uintptr_t id);
// Returns how many alerts it handed to the tray as balloons.
size_t fastTick(App& app);
void slowTick(App& app);
void processTick(App& app);

// Condenses the current readings into one history point. A value that is not
// available stays NaN; zero is a real value.
Sample buildSample(uint64_t time, const CpuInfo& cpu, const MemoryInfo& memory,
                   const NetworkInfo& network, const StorageInfo& storage,
                   const Reading<double>& hottestTemperature);

} // namespace ovra
