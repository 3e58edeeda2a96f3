#include "fake_power.h"

#include <cstring>

namespace fake {

using ovra::Guid;

namespace {

PowerMachine current;

Guid fromWindows(const GUID* guid) {
    Guid result{guid->Data1, guid->Data2, guid->Data3, {}};
    std::memcpy(result.data4, guid->Data4, 8);
    return result;
}

GUID toWindows(const Guid& guid) {
    GUID result{guid.data1, guid.data2, guid.data3, {}};
    std::memcpy(result.Data4, guid.data4, 8);
    return result;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string text(const GUID* guid) {
    return guid ? narrow(ovra::guidToText(fromWindows(guid))) : "null";
}

// Records the call; returns the code it must fail with, 0 when it proceeds.
DWORD enter(const std::string& name, const std::string& arguments) {
    current.calls.push_back(arguments.empty() ? name : name + " " + arguments);
    if (auto once = current.failOnce.find(name); once != current.failOnce.end()) {
        const DWORD code = once->second;
        current.failOnce.erase(once);
        return code;
    }
    if (auto always = current.failAlways.find(name); always != current.failAlways.end())
        return always->second;
    return 0;
}

// The engine only ever addresses the maximum processor state.
bool isMaximumProcessorState(const GUID* subgroup, const GUID* setting) {
    return subgroup && setting && fromWindows(subgroup) == ovra::processorSettingsSubgroup &&
           fromWindows(setting) == ovra::maximumProcessorState;
}

DWORD WINAPI getActiveScheme(HKEY key, GUID** active) {
    if (DWORD code = enter("PowerGetActiveScheme", "")) return code;
    if (key || !active) return ERROR_INVALID_PARAMETER;
    *active = static_cast<GUID*>(LocalAlloc(LPTR, sizeof(GUID)));
    **active = toWindows(current.active);
    return ERROR_SUCCESS;
}

DWORD WINAPI setActiveScheme(HKEY key, const GUID* scheme) {
    if (DWORD code = enter("PowerSetActiveScheme", text(scheme))) return code;
    if (key || !scheme) return ERROR_INVALID_PARAMETER;
    if (!current.find(fromWindows(scheme))) return ERROR_FILE_NOT_FOUND;
    current.active = fromWindows(scheme);
    return ERROR_SUCCESS;
}

DWORD WINAPI enumerate(HKEY key, const GUID* scheme, const GUID* subgroup,
                       POWER_DATA_ACCESSOR access, ULONG index, UCHAR* buffer, DWORD* size) {
    if (DWORD code = enter("PowerEnumerate", std::to_string(index))) return code;
    if (key || scheme || subgroup || access != ACCESS_SCHEME || !buffer || !size ||
        *size != sizeof(GUID))
        return ERROR_INVALID_PARAMETER;
    if (index >= current.plans.size()) return ERROR_NO_MORE_ITEMS;
    const GUID guid = toWindows(current.plans[index].guid);
    std::memcpy(buffer, &guid, sizeof(guid));
    return ERROR_SUCCESS;
}

DWORD WINAPI readFriendlyName(HKEY key, const GUID* scheme, const GUID* subgroup,
                              const GUID* setting, UCHAR* buffer, DWORD* size) {
    if (DWORD code = enter("PowerReadFriendlyName", text(scheme))) return code;
    if (key || !scheme || subgroup || setting || !size) return ERROR_INVALID_PARAMETER;
    const Plan* plan = current.find(fromWindows(scheme));
    if (!plan || !plan->nameReadable) return ERROR_FILE_NOT_FOUND;
    const DWORD needed = DWORD((plan->name.size() + 1) * sizeof(wchar_t));
    if (!buffer) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) return ERROR_MORE_DATA;
    std::memcpy(buffer, plan->name.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

DWORD readValue(const char* name, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                DWORD* value, bool ac) {
    if (DWORD code = enter(name, text(scheme))) return code;
    if (!scheme || !value || !isMaximumProcessorState(subgroup, setting))
        return ERROR_INVALID_PARAMETER;
    const Plan* plan = current.find(fromWindows(scheme));
    if (!plan) return ERROR_FILE_NOT_FOUND;
    *value = ac ? plan->ac : plan->dc;
    return ERROR_SUCCESS;
}

DWORD writeValue(const char* name, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                 DWORD value, bool ac) {
    if (DWORD code = enter(name, text(scheme) + " " + std::to_string(value))) return code;
    if (!scheme || !isMaximumProcessorState(subgroup, setting)) return ERROR_INVALID_PARAMETER;
    Plan* plan = current.find(fromWindows(scheme));
    if (!plan) return ERROR_FILE_NOT_FOUND;
    if (ac && !current.acWritesIgnored) plan->ac = value;
    if (!ac) plan->dc = value;
    return ERROR_SUCCESS;
}

DWORD WINAPI readAc(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                    DWORD* value) {
    return readValue("PowerReadACValueIndex", scheme, subgroup, setting, value, true);
}
DWORD WINAPI readDc(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                    DWORD* value) {
    return readValue("PowerReadDCValueIndex", scheme, subgroup, setting, value, false);
}
DWORD WINAPI writeAc(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                     DWORD value) {
    return writeValue("PowerWriteACValueIndex", scheme, subgroup, setting, value, true);
}
DWORD WINAPI writeDc(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                     DWORD value) {
    return writeValue("PowerWriteDCValueIndex", scheme, subgroup, setting, value, false);
}

DWORD rangeValue(const char* name, const GUID* subgroup, const GUID* setting, DWORD* value,
                 uint32_t answer) {
    if (DWORD code = enter(name, "")) return code;
    if (!value || !isMaximumProcessorState(subgroup, setting)) return ERROR_INVALID_PARAMETER;
    *value = answer;
    return ERROR_SUCCESS;
}

DWORD WINAPI readMin(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
    return rangeValue("PowerReadValueMin", subgroup, setting, value, current.minimum);
}
DWORD WINAPI readMax(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
    return rangeValue("PowerReadValueMax", subgroup, setting, value, current.maximum);
}
DWORD WINAPI readIncrement(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
    return rangeValue("PowerReadValueIncrement", subgroup, setting, value, current.increment);
}

} // namespace

Plan* PowerMachine::find(const Guid& guid) {
    for (Plan& plan : plans)
        if (plan.guid == guid) return &plan;
    return nullptr;
}

std::vector<std::string> PowerMachine::callsTo(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
        if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
}

PowerMachine& machine() {
    return current;
}

ovra::PowerApi usePowerMachine(PowerMachine state) {
    current = std::move(state);
    return powerApiOverMachine();
}

ovra::PowerApi powerApiOverMachine() {
    ovra::PowerApi api;
    // Any non-null module marks the table as available; it is never freed.
    api.module = GetModuleHandleW(nullptr);
    api.getActiveScheme = getActiveScheme;
    api.setActiveScheme = setActiveScheme;
    api.enumerate = enumerate;
    api.readFriendlyName = readFriendlyName;
    api.readAcValueIndex = readAc;
    api.readDcValueIndex = readDc;
    api.writeAcValueIndex = writeAc;
    api.writeDcValueIndex = writeDc;
    api.readValueMin = readMin;
    api.readValueMax = readMax;
    api.readValueIncrement = readIncrement;
    return api;
}

Guid planGuid(int n) {
    return Guid{0x0A0B0C00u + uint32_t(n), 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 1, 2, 3, 4}};
}

Plan plan(int n, const std::wstring& name, uint32_t ac, uint32_t dc) {
    return Plan{planGuid(n), name, ac, dc, true};
}

Plan balanced(uint32_t ac, uint32_t dc) {
    return Plan{ovra::balancedPlan, L"Seimbang", ac, dc, true};
}

} // namespace fake
