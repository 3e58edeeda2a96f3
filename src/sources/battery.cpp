#include "sources/battery.h"

namespace ovra {

void batteryUpdate(BatteryInfo&) {}

} // namespace ovra
