#include "sources/system_info.h"

#include <windows.h>

#include "sources/format.h"
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

    info = SystemInfo{};
    info.build = kernelBuildNumber();
    info.osName = regReadString(machine, currentVersion, L"ProductName", true);
    // Windows 11 keeps the Windows 10 edition name in the registry; its builds start
    // at 22000.
    const std::wstring oldName = L"Windows 10";
    const size_t oldAt = info.osName.find(oldName);
    if (info.build >= 22000 && oldAt != std::wstring::npos)
        info.osName.replace(oldAt, oldName.size(), L"Windows 11");
    if (info.osName.empty()) info.osName = L"Windows";

    std::wstring buildText = formatText(L"%lu", static_cast<unsigned long>(info.build));
    uint32_t ubr = 0;
    if (regReadDword(machine, currentVersion, L"UBR", ubr, true))
        buildText += formatText(L".%lu", static_cast<unsigned long>(ubr));
    std::wstring displayVersion = regReadString(machine, currentVersion, L"DisplayVersion", true);
    if (displayVersion.empty())
        displayVersion = regReadString(machine, currentVersion, L"ReleaseId", true);
    info.osVersion = displayVersion.empty() ? L"build " + buildText
                                            : L"versi " + displayVersion + L", build " + buildText;

    info.manufacturer = regReadString(machine, bios, L"SystemManufacturer", true);
    info.model = regReadString(machine, bios, L"SystemProductName", true);
    info.is64Bit = true;
}

} // namespace ovra
