#pragma once
// The battery. The collector is not built yet.
namespace ovra {

struct BatteryInfo {};

void batteryUpdate(BatteryInfo& battery);

} // namespace ovra
