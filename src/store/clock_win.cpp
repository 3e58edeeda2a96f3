#include "store/clock.h"

#include <windows.h>

namespace ovra {

uint64_t systemTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

} // namespace ovra
