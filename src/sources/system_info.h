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

// The values as the registry and RtlGetVersion give them; a missing string is empty.
struct SystemInfoRaw {
    std::wstring productName, displayVersion, releaseId;
    bool hasUbr = false;
    uint32_t ubr = 0;
    uint32_t build = 0;
    std::wstring manufacturer, model;
};

SystemInfo systemInfoFromRaw(const SystemInfoRaw& raw);

// Reads the raw values from the local machine and fills info; never fails.
void systemInfoRead(SystemInfo& info);

} // namespace ovra
