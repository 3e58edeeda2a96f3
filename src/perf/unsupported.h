#pragma once
// Controls Windows does not offer (fan control, overclocking). Not built yet.
namespace ovra {

struct FanControlSupport {};
struct OverclockSupport {};

FanControlSupport fanControlInfo();
OverclockSupport overclockInfo();

} // namespace ovra
