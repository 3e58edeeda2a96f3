#pragma once
#include <cstdint>

namespace ovra {

// The system time as a FILETIME value (UTC, 100-ns units since 1601), the time
// base of samples and of the chart window.
uint64_t systemTimeNow();

} // namespace ovra
