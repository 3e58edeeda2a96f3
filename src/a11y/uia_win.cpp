#include "a11y/host.h"

namespace ovra {

LRESULT uiaGetObject(const std::shared_ptr<AccessHost>&, WPARAM, LPARAM) {
    return 0;
}

void raiseUiaFocusEvent(const std::shared_ptr<AccessHost>&, long) {}

void raiseUiaValueEvents(const std::shared_ptr<AccessHost>&, const std::vector<long>&) {}

} // namespace ovra
