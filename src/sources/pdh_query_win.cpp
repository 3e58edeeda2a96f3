#include "sources/pdh_query.h"

// The counter wrapper is not built yet: every counter is unavailable.
namespace ovra {

PdhCounter pdhAddCounter(PdhQuery&, const wchar_t*, uint32_t* status) {
    if (status) *status = pdhInvalidHandle;
    return nullptr;
}
bool pdhCollect(PdhQuery&) { return false; }
bool pdhReadValue(PdhQuery&, PdhCounter, double&) { return false; }
bool pdhReadArray(PdhQuery&, PdhCounter, std::vector<PdhInstanceValue>& values) {
    values.clear();
    return false;
}
void pdhClose(PdhQuery&) {}
std::wstring pdhStatusText(uint32_t) { return {}; }

} // namespace ovra
