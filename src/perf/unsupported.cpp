#include "perf/unsupported.h"

namespace ovra {

FanControlSupport fanControlInfo() {
    return {};
}
OverclockSupport overclockInfo() {
    return {};
}

} // namespace ovra
