#include "perf/power_api.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "perf/power_calls.h"
#include "sources/system_library.h"

namespace ovra {

namespace {

static_assert(sizeof(Guid) == sizeof(GUID), "a Guid holds exactly the bytes of a GUID");

GUID toWindows(const Guid& guid) {
    GUID result{guid.data1, guid.data2, guid.data3, {}};
    std::copy(std::begin(guid.data4), std::end(guid.data4), result.Data4);
    return result;
}

Guid fromWindows(const GUID& guid) {
    Guid result{guid.Data1, guid.Data2, guid.Data3, {}};
    std::copy(std::begin(guid.Data4), std::end(guid.Data4), result.data4);
    return result;
}

const GUID subgroup = toWindows(processorSettingsSubgroup);
const GUID setting = toWindows(maximumProcessorState);

// The maximum processor state of one plan (AC or DC read).
template <class Read> uint32_t readPlanValue(Read read, const Guid& plan, uint32_t& percent) {
    const GUID scheme = toWindows(plan);
    DWORD value = 0;
    const DWORD status = read(nullptr, &scheme, &subgroup, &setting, &value);
    percent = value;
    return status;
}

// One bound of the range of the maximum processor state (minimum, maximum, increment).
template <class Read> uint32_t readRangeValue(Read read, uint32_t& percent) {
    DWORD value = 0;
    const DWORD status = read(nullptr, &subgroup, &setting, &value);
    percent = value;
    return status;
}

} // namespace

void bindPowerApi(PowerApi& api, HMODULE module) {
    api = PowerApi{};
    if (!module) return;
    PowerApi bound;
    bound.getActiveScheme =
        systemFunction<decltype(bound.getActiveScheme)>(module, "PowerGetActiveScheme");
    bound.setActiveScheme =
        systemFunction<decltype(bound.setActiveScheme)>(module, "PowerSetActiveScheme");
    bound.enumerate = systemFunction<decltype(bound.enumerate)>(module, "PowerEnumerate");
    bound.readFriendlyName =
        systemFunction<decltype(bound.readFriendlyName)>(module, "PowerReadFriendlyName");
    bound.readAcValueIndex =
        systemFunction<decltype(bound.readAcValueIndex)>(module, "PowerReadACValueIndex");
    bound.readDcValueIndex =
        systemFunction<decltype(bound.readDcValueIndex)>(module, "PowerReadDCValueIndex");
    bound.writeAcValueIndex =
        systemFunction<decltype(bound.writeAcValueIndex)>(module, "PowerWriteACValueIndex");
    bound.writeDcValueIndex =
        systemFunction<decltype(bound.writeDcValueIndex)>(module, "PowerWriteDCValueIndex");
    bound.readValueMin = systemFunction<decltype(bound.readValueMin)>(module, "PowerReadValueMin");
    bound.readValueMax = systemFunction<decltype(bound.readValueMax)>(module, "PowerReadValueMax");
    bound.readValueIncrement =
        systemFunction<decltype(bound.readValueIncrement)>(module, "PowerReadValueIncrement");
    const bool complete = bound.getActiveScheme && bound.setActiveScheme && bound.enumerate &&
                          bound.readFriendlyName && bound.readAcValueIndex &&
                          bound.readDcValueIndex && bound.writeAcValueIndex &&
                          bound.writeDcValueIndex && bound.readValueMin && bound.readValueMax;
    if (!complete) {
        FreeLibrary(module);
        return;
    }
    bound.module = module;
    api = bound;
}

void loadPowerApi(PowerApi& api) {
    bindPowerApi(api, loadSystemLibrary(L"powrprof.dll"));
}

bool powerApiAvailable(const PowerApi& api) {
    return api.module != nullptr;
}

bool powerActivePlan(const PowerApi& api, Guid& plan) {
    GUID* active = nullptr;
    const DWORD status = api.getActiveScheme(nullptr, &active);
    if (status != ERROR_SUCCESS || !active) {
        if (active) LocalFree(active);
        return false;
    }
    plan = fromWindows(*active);
    LocalFree(active);
    return true;
}

uint32_t powerSetActivePlan(const PowerApi& api, const Guid& plan) {
    const GUID scheme = toWindows(plan);
    return api.setActiveScheme(nullptr, &scheme);
}

uint32_t powerEnumeratePlan(const PowerApi& api, uint32_t index, Guid& plan) {
    GUID scheme{};
    DWORD size = sizeof(scheme);
    const DWORD status = api.enumerate(nullptr, nullptr, nullptr, ACCESS_SCHEME, index,
                                       reinterpret_cast<UCHAR*>(&scheme), &size);
    if (status == ERROR_SUCCESS) plan = fromWindows(scheme);
    return status;
}

std::wstring planFriendlyName(const PowerApi& api, const Guid& plan) {
    const std::wstring unnamed = L"(tanpa nama)";
    const GUID scheme = toWindows(plan);
    DWORD size = 0;
    if (api.readFriendlyName(nullptr, &scheme, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return unnamed;
    // Two spare zero bytes end the text even when Windows leaves it unterminated.
    std::vector<wchar_t> buffer((size_t(size) + 2 + 1) / sizeof(wchar_t), L'\0');
    if (api.readFriendlyName(nullptr, &scheme, nullptr, nullptr,
                             reinterpret_cast<UCHAR*>(buffer.data()), &size) != ERROR_SUCCESS)
        return unnamed;
    return std::wstring(buffer.data());
}

uint32_t powerReadAc(const PowerApi& api, const Guid& plan, uint32_t& percent) {
    return readPlanValue(api.readAcValueIndex, plan, percent);
}

uint32_t powerReadDc(const PowerApi& api, const Guid& plan, uint32_t& percent) {
    return readPlanValue(api.readDcValueIndex, plan, percent);
}

uint32_t powerWriteAc(const PowerApi& api, const Guid& plan, uint32_t percent) {
    const GUID scheme = toWindows(plan);
    return api.writeAcValueIndex(nullptr, &scheme, &subgroup, &setting, percent);
}

uint32_t powerWriteDc(const PowerApi& api, const Guid& plan, uint32_t percent) {
    const GUID scheme = toWindows(plan);
    return api.writeDcValueIndex(nullptr, &scheme, &subgroup, &setting, percent);
}

uint32_t powerReadMinimum(const PowerApi& api, uint32_t& percent) {
    return readRangeValue(api.readValueMin, percent);
}

uint32_t powerReadMaximum(const PowerApi& api, uint32_t& percent) {
    return readRangeValue(api.readValueMax, percent);
}

bool powerHasIncrement(const PowerApi& api) {
    return api.readValueIncrement != nullptr;
}

uint32_t powerReadIncrement(const PowerApi& api, uint32_t& percent) {
    return readRangeValue(api.readValueIncrement, percent);
}

} // namespace ovra
