#pragma once
// Performance control is allowed only while the processor temperature can be
// watched and is below the user's safety limit; an active change is undone as
// soon as that watch fails or the limit is reached.
#include <cstdint>
#include <string>

#include "perf/perf_engine.h"
#include "sources/reading.h"

namespace ovra {

// Whether control may be switched on or a change applied now; otherwise false
// with the sentence that explains the refusal. `temperature` is the hottest
// thermal zone (GPU temperatures take no part); `reason` is untouched when allowed.
bool perfGateAllows(bool capsProbed, const PerfCaps& caps, const Reading<double>& temperature,
                    int32_t safetyLimit, std::wstring& reason);

// Why an active change must be undone now: the sensor is lost or the limit is
// reached. Empty while the temperature is readable and below the limit.
std::wstring safetyTripCause(const Reading<double>& temperature, int32_t safetyLimit);

// What the tray tells after an automatic restore for `cause`. A failure, told with
// `detail` (the cause and why), is told once per cause: `toldFailure` keeps the
// cause last told and a success clears it; a repeat gets an empty title.
struct SafetyNotice {
    std::wstring title, text;
};
SafetyNotice safetyNotice(bool restored, const std::wstring& cause, const std::wstring& detail,
                          std::wstring& toldFailure);

} // namespace ovra
