#pragma once
// An in-memory machine behind a power-API table: plans with names and AC/DC
// values, an active plan, the allowed range; any call can be made to fail with
// any code, and every call is recorded.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "perf/guid.h"
#include "perf/power_api.h"

namespace fake {

struct Plan {
    ovra::Guid guid;
    std::wstring name;
    uint32_t ac = 100;
    uint32_t dc = 100;
    bool nameReadable = true;
};

struct PowerMachine {
    std::vector<Plan> plans;
    ovra::Guid active;
    uint32_t minimum = 0;
    uint32_t maximum = 100;
    uint32_t increment = 1;
    bool acWritesIgnored = false; // the AC write reports success but stores nothing
    // By entry-point name ("PowerWriteDCValueIndex"): every call fails with the code.
    std::map<std::string, uint32_t> failAlways;
    // By entry-point name: only the next call fails with the code.
    std::map<std::string, uint32_t> failOnce;
    // "PowerWriteACValueIndex {GUID} 50", "PowerSetActiveScheme {GUID}", ...
    std::vector<std::string> calls;

    Plan* find(const ovra::Guid& guid);
    // Calls whose text starts with `prefix`.
    std::vector<std::string> callsTo(const std::string& prefix) const;
};

// The machine the table's entry points act on; reset by `usePowerMachine`.
PowerMachine& machine();

// Resets the machine to `state` and returns a complete, available table over it.
ovra::PowerApi usePowerMachine(PowerMachine state);

// The table over the machine as it is now, without resetting it: a second run of
// the program meeting the machine the first one left behind.
ovra::PowerApi powerApiOverMachine();

// Plans with fixed GUIDs for the tests: Balanced and two others.
ovra::Guid planGuid(int n); // n = 1, 2, 3...
Plan plan(int n, const std::wstring& name, uint32_t ac, uint32_t dc);
Plan balanced(uint32_t ac = 100, uint32_t dc = 100);

} // namespace fake
