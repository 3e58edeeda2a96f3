#pragma once
// Facts about the machine that do not change while the program runs, read once at
// start-up.
#include <cstdint>
#include <string>

namespace ovra {

struct SystemInfo {
    std::wstring osName;    // "Windows" when unknown
    std::wstring osVersion; // "versi 23H2, build 22631.4037" or "build 19045"
    uint32_t build = 0;     // 0 when RtlGetVersion is missing
    std::wstring manufacturer;
    std::wstring model;
    bool is64Bit = false;
};

// Reads the registry and the kernel's version and fills info; never fails (a
// missing value reads as empty).
void systemInfoRead(SystemInfo& info);

} // namespace ovra
