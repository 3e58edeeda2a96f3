#pragma once
// The power-management library (powrprof.dll), bound at run time from the system
// folder. Every call that reads or changes a power setting goes through this
// table of entry points, so tests can fill it with fakes.
#include <windows.h>
#include <powrprof.h>

namespace ovra {

struct PowerApi {
    // Null when the library did not load or lacks a required entry point: the
    // power API is then unavailable and no entry point may be called.
    HMODULE module = nullptr;
    decltype(&::PowerGetActiveScheme) getActiveScheme = nullptr;
    decltype(&::PowerSetActiveScheme) setActiveScheme = nullptr;
    decltype(&::PowerEnumerate) enumerate = nullptr;
    decltype(&::PowerReadFriendlyName) readFriendlyName = nullptr;
    decltype(&::PowerReadACValueIndex) readAcValueIndex = nullptr;
    decltype(&::PowerReadDCValueIndex) readDcValueIndex = nullptr;
    decltype(&::PowerWriteACValueIndex) writeAcValueIndex = nullptr;
    decltype(&::PowerWriteDCValueIndex) writeDcValueIndex = nullptr;
    decltype(&::PowerReadValueMin) readValueMin = nullptr;
    decltype(&::PowerReadValueMax) readValueMax = nullptr;
    decltype(&::PowerReadValueIncrement) readValueIncrement = nullptr; // optional
};

// Binds powrprof.dll from the system folder once, at start-up. A missing library
// or a missing required entry point leaves `module` null (and the library
// unloaded); only the increment may be missing. A bound library is never freed.
void loadPowerApi(PowerApi& api);

// Fills the table from an already loaded module; frees the module and leaves the
// table empty when a required entry point is missing.
void bindPowerApi(PowerApi& api, HMODULE module);

} // namespace ovra
