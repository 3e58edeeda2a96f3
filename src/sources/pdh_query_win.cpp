#include "sources/pdh_query.h"

#include <windows.h>

#include <pdh.h>

#include <cstddef>

#include "sources/system_library.h"

namespace ovra {

namespace {

// pdh.dll is not one of the libraries Windows always takes from the system
// folder, so it is bound at run time from there rather than imported. Without
// it every query fails to open and the counter-based values say so.
struct PdhFunctions {
    decltype(&PdhOpenQueryW) openQuery = nullptr;
    decltype(&PdhAddEnglishCounterW) addEnglishCounter = nullptr;
    decltype(&PdhCollectQueryData) collectQueryData = nullptr;
    decltype(&PdhGetFormattedCounterValue) getFormattedCounterValue = nullptr;
    decltype(&PdhGetFormattedCounterArrayW) getFormattedCounterArray = nullptr;
    decltype(&PdhCloseQuery) closeQuery = nullptr;
    bool complete() const {
        return openQuery && addEnglishCounter && collectQueryData && getFormattedCounterValue &&
               getFormattedCounterArray && closeQuery;
    }
};

const PdhFunctions& pdh() {
    static const PdhFunctions bound = [] {
        PdhFunctions api;
        HMODULE module = loadSystemLibrary(L"pdh.dll"); // kept for the process's life
        api.openQuery = systemFunction<decltype(&PdhOpenQueryW)>(module, "PdhOpenQueryW");
        api.addEnglishCounter =
            systemFunction<decltype(&PdhAddEnglishCounterW)>(module, "PdhAddEnglishCounterW");
        api.collectQueryData =
            systemFunction<decltype(&PdhCollectQueryData)>(module, "PdhCollectQueryData");
        api.getFormattedCounterValue = systemFunction<decltype(&PdhGetFormattedCounterValue)>(
            module, "PdhGetFormattedCounterValue");
        api.getFormattedCounterArray = systemFunction<decltype(&PdhGetFormattedCounterArrayW)>(
            module, "PdhGetFormattedCounterArrayW");
        api.closeQuery = systemFunction<decltype(&PdhCloseQuery)>(module, "PdhCloseQuery");
        if (!api.complete()) api = PdhFunctions{};
        return api;
    }();
    return bound;
}

// Rates and percentages are read as doubles and never capped at 100, so a
// processor running above its base clock reads above 100 %.
constexpr DWORD valueFormat = PDH_FMT_DOUBLE | PDH_FMT_NOCAP100;
static_assert(valueFormat == 0x8200);

static_assert(sizeof(PdhItem) == sizeof(PDH_FMT_COUNTERVALUE_ITEM_W));
static_assert(offsetof(PdhItem, name) == offsetof(PDH_FMT_COUNTERVALUE_ITEM_W, szName));
static_assert(offsetof(PdhItem, formatted) == offsetof(PDH_FMT_COUNTERVALUE_ITEM_W, FmtValue));
static_assert(offsetof(PdhItemValue, status) == offsetof(PDH_FMT_COUNTERVALUE, CStatus));
static_assert(offsetof(PdhItemValue, value) == offsetof(PDH_FMT_COUNTERVALUE, doubleValue));

} // namespace

PdhCounter pdhAddCounter(PdhQuery& query, const wchar_t* englishPath, uint32_t* status) {
    if (!query.handle) {
        PDH_HQUERY handle = nullptr;
        if (!pdh().complete() || pdh().openQuery(nullptr, 0, &handle) != ERROR_SUCCESS || !handle) {
            if (status) *status = pdhInvalidHandle;
            return nullptr;
        }
        query.handle = handle;
    }
    PDH_HCOUNTER counter = nullptr;
    const PDH_STATUS result = pdh().addEnglishCounter(query.handle, englishPath, 0, &counter);
    if (status) *status = static_cast<uint32_t>(result);
    return result == ERROR_SUCCESS ? counter : nullptr;
}

bool pdhCollect(PdhQuery& query) {
    if (!query.handle) return false;
    if (pdh().collectQueryData(query.handle) != ERROR_SUCCESS) return false;
    ++query.collects;
    return true;
}

bool pdhReadValue(PdhQuery&, PdhCounter counter, double& value) {
    if (!counter || !pdh().complete()) return false;
    DWORD type = 0;
    PDH_FMT_COUNTERVALUE formatted = {};
    if (pdh().getFormattedCounterValue(counter, valueFormat, &type, &formatted) != ERROR_SUCCESS)
        return false;
    if (!pdhValueUsable(formatted.CStatus)) return false;
    value = formatted.doubleValue;
    return true;
}

bool pdhReadArray(PdhQuery& query, PdhCounter counter, std::vector<PdhInstanceValue>& values) {
    values.clear();
    if (!counter || !pdh().complete()) return false;
    DWORD bytes = 0;
    DWORD count = 0;
    PDH_STATUS result =
        pdh().getFormattedCounterArray(counter, valueFormat, &bytes, &count, nullptr);
    // Success without a buffer means the wildcard matched no instance.
    if (static_cast<uint32_t>(result) != pdhMoreData) return result == ERROR_SUCCESS;

    // assign reuses the storage when it is large enough and zero-fills every byte,
    // also those left over from a longer earlier read.
    query.buffer.assign(bytes, 0);
    auto* items = reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_W*>(query.buffer.data());
    result = pdh().getFormattedCounterArray(counter, valueFormat, &bytes, &count, items);
    if (result != ERROR_SUCCESS) return false;

    // The item records come first in the buffer, the instance names after them; a
    // count that would run past the buffer is cut to what it holds.
    const size_t fits = query.buffer.size() / sizeof(PDH_FMT_COUNTERVALUE_ITEM_W);
    const size_t usable = count < fits ? count : fits;
    pdhValuesFromItems(reinterpret_cast<const PdhItem*>(query.buffer.data()), usable, values);
    return true;
}

void pdhClose(PdhQuery& query) {
    if (query.handle) {
        pdh().closeQuery(query.handle);
        query.handle = nullptr;
    }
    std::vector<unsigned char>().swap(query.buffer);
}

} // namespace ovra
