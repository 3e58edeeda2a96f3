#include "sources/system_info.h"

#include <windows.h>

#include "sources/registry.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
static_assert(sizeof(OSVERSIONINFOW) == 276, "RtlGetVersion expects the 276-byte record");

// The build as the kernel reports it; GetVersionEx would answer what the manifest
// allows. 0 when ntdll does not export the function.
uint32_t kernelBuildNumber() {
    const auto rtlGetVersion =
        systemFunction<RtlGetVersionFunction>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    if (!rtlGetVersion) return 0;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    rtlGetVersion(&version);
    return version.dwBuildNumber;
}

} // namespace

void systemInfoRead(SystemInfo& info) {
    const HKEY machine = HKEY_LOCAL_MACHINE;
    const wchar_t* const currentVersion = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const wchar_t* const bios = L"HARDWARE\\DESCRIPTION\\System\\BIOS";

    SystemInfoRaw raw;
    raw.productName = regReadString(machine, currentVersion, L"ProductName", true);
    raw.displayVersion = regReadString(machine, currentVersion, L"DisplayVersion", true);
    if (raw.displayVersion.empty())
        raw.releaseId = regReadString(machine, currentVersion, L"ReleaseId", true);
    raw.hasUbr = regReadDword(machine, currentVersion, L"UBR", raw.ubr, true);
    raw.build = kernelBuildNumber();
    raw.manufacturer = regReadString(machine, bios, L"SystemManufacturer", true);
    raw.model = regReadString(machine, bios, L"SystemProductName", true);
    info = systemInfoFromRaw(raw);
}

} // namespace ovra
