#include "health/alerts.h"

namespace ovra {

std::vector<Alert> evaluateAlerts(AlertState&, const Settings&, const HealthInputs&,
                                  unsigned long long) {
    return {};
}

} // namespace ovra
