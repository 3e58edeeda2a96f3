#include "sources/system_info.h"

#include "sources/format.h"

namespace ovra {

SystemInfo systemInfoFromRaw(const SystemInfoRaw& raw) {
    SystemInfo info;
    info.build = raw.build;
    info.osName = raw.productName;
    // Windows 11 keeps the Windows 10 edition name in the registry; its builds start
    // at 22000.
    const std::wstring oldName = L"Windows 10";
    const size_t oldAt = info.osName.find(oldName);
    if (info.build >= 22000 && oldAt != std::wstring::npos)
        info.osName.replace(oldAt, oldName.size(), L"Windows 11");
    if (info.osName.empty()) info.osName = L"Windows";

    std::wstring buildText = formatText(L"%lu", static_cast<unsigned long>(raw.build));
    if (raw.hasUbr) buildText += formatText(L".%lu", static_cast<unsigned long>(raw.ubr));
    const std::wstring& displayVersion =
        raw.displayVersion.empty() ? raw.releaseId : raw.displayVersion;
    info.osVersion = displayVersion.empty() ? L"build " + buildText
                                            : L"versi " + displayVersion + L", build " + buildText;

    info.manufacturer = raw.manufacturer;
    info.model = raw.model;
    info.is64Bit = true;
    return info;
}

} // namespace ovra
