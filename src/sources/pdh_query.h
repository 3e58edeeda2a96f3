#pragma once
// A thin layer over the Performance Data Helper: lazily opened queries, counters
// added by their English path, formatted reads and status texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ovra {

// PDH handles are opaque pointers; they are kept as such so that this header
// (and the pure code that uses it) needs no Windows headers.
using PdhCounter = void*;

struct PdhQuery {
    void* handle = nullptr;            // opened by the first pdhAddCounter
    uint32_t collects = 0;             // successful collections; rate counters need two
    std::vector<unsigned char> buffer; // reused by every wildcard read
};

struct PdhInstanceValue {
    std::wstring name;
    double value = 0;
};

inline constexpr uint32_t pdhInvalidHandle = 0xC0000BBC;
inline constexpr uint32_t pdhMoreData = 0x800007D2;

// Adds a counter by its English path; null on failure, with the PDH status in
// *status (0 on success) when given.
PdhCounter pdhAddCounter(PdhQuery& query, const wchar_t* englishPath, uint32_t* status = nullptr);

// Collects every counter of the query; counts successful collections.
bool pdhCollect(PdhQuery& query);

// Reads one counter as a double, uncapped (percentages above 100 pass through).
bool pdhReadValue(PdhQuery& query, PdhCounter counter, double& value);

// Reads every instance of a wildcard counter into `values` (cleared first).
// Instances whose value status is not valid are left out.
bool pdhReadArray(PdhQuery& query, PdhCounter counter, std::vector<PdhInstanceValue>& values);

// Closes the query (and with it its counters) and frees the scratch buffer.
void pdhClose(PdhQuery& query);

// Short Indonesian text for a PDH status, for the reason sentences of sources.
std::wstring pdhStatusText(uint32_t status);

// One element of a formatted wildcard read, laid out like PDH's
// PDH_FMT_COUNTERVALUE_ITEM_W read as a double (the Windows side checks the
// layout), so the read buffer is handed over without copying.
struct PdhItemValue {
    uint32_t status = 0; // CStatus
    double value = 0;
};
struct PdhItem {
    const wchar_t* name = nullptr; // null when PDH gives the instance no name
    PdhItemValue formatted;
};

// Only the value statuses "valid" (0) and "new data" (1) carry a value.
inline bool pdhValueUsable(uint32_t status) {
    return status <= 1;
}

// Refills `values` with the items that carry a value, in PDH order.
void pdhValuesFromItems(const PdhItem* items, size_t count, std::vector<PdhInstanceValue>& values);

} // namespace ovra
