#include "perf/power_api.h"

namespace ovra {

void loadPowerApi(PowerApi& api) {
    api.module = nullptr;
}

} // namespace ovra
