#include "perf/perf_engine.h"

namespace ovra {

bool recoveryFileExists(const std::wstring&) {
    return false;
}

bool restorePerfChange(const PowerApi&, const std::wstring&, std::wstring& message) {
    message.clear();
    return false;
}

} // namespace ovra
