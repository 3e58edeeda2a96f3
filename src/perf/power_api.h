#pragma once
// The power-management library, bound at run time. Not built yet: the binding
// stays empty, so performance control reports the library as unavailable.
#include <windows.h>

namespace ovra {

struct PowerApi {
    HMODULE module = nullptr;
};

// Binds powrprof.dll from the system folder.
void loadPowerApi(PowerApi& api);

} // namespace ovra
