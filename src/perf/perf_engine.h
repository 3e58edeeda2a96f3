#pragma once
// The performance-control engine: the only code that changes Windows power
// settings. It makes an existing plan active and sets that plan's maximum
// processor state (mains and battery alike), after recording what was in force
// in the recovery file, so that every change can be undone, also after a crash.
// Operations return a success flag and an Indonesian message for the user.
#include <cstdint>
#include <string>
#include <vector>

#include "perf/guid.h"
#include "perf/recovery_file.h"
#include "sources/reading.h"

namespace ovra {

struct PowerApi;

struct PowerPlan {
    Guid guid;
    std::wstring name;
};

// What the device offers.
struct PerfCaps {
    Reading<bool> plans;             // at least two plans to choose from
    std::vector<PowerPlan> planList; // in Windows' order, at most 32
    Reading<bool> range; // Windows exposes a usable range of the maximum processor state
    uint32_t minPercent = 0;
    uint32_t maxPercent = 100;
    uint32_t stepPercent = 1;
};

// The power state in force.
struct PowerState {
    bool valid = false; // the active plan was read
    Guid activePlan;
    std::wstring activeName;
    Reading<uint32_t> acPercent; // maximum processor state on mains power
    Reading<uint32_t> dcPercent; // maximum processor state on battery
};

// Plans are listed at most 32 at a time; the recovery file has one entry per
// changed plan. A count beyond this bound is damage, never a real record.
inline constexpr int32_t maxRecoveryEntries = 64;

PerfCaps probePerfCaps(const PowerApi& api);
PowerState readPowerState(const PowerApi& api);

// Makes `plan` active with `percent` as its maximum processor state. The values
// in force are on record in the recovery file at `recoveryPath` before anything
// changes; a change Windows refuses or that does not read back is undone at once.
// On success `message` is left unchanged.
bool applyPerfChange(const PowerApi& api, const std::wstring& recoveryPath, const PerfCaps& caps,
                     const Guid& plan, uint32_t percent, std::wstring& message);

// Writes back every recorded value and re-activates the recorded plan; deletes the
// recovery file only when all of that succeeded.
bool restorePerfChange(const PowerApi& api, const std::wstring& recoveryPath,
                       std::wstring& message);

// Undoes any recorded change, then makes Balanced active at 100 %.
bool resetToWindowsDefault(const PowerApi& api, const std::wstring& recoveryPath,
                           std::wstring& message);

} // namespace ovra
