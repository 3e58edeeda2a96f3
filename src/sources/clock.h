#pragma once
// Windows times as plain numbers: a FILETIME value is UTC in 100-ns units since 1601.
#include <windows.h>

#include <cstdint>

namespace ovra {

inline uint64_t fileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The system time now: the time base of samples, the chart window and the SMART check.
inline uint64_t systemTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeValue(now);
}

} // namespace ovra
