#pragma once
// The power calls the engine makes, one Windows call each, in plain types. Each
// returns the Windows error code of its call (0 is success) unless stated.
#include <cstdint>
#include <string>

#include "perf/guid.h"

namespace ovra {

struct PowerApi;

bool powerApiAvailable(const PowerApi& api);

// The active plan; false when the call fails or yields no plan.
bool powerActivePlan(const PowerApi& api, Guid& plan);
uint32_t powerSetActivePlan(const PowerApi& api, const Guid& plan);
// The plan at `index` of Windows' plan list; any error ends a listing.
uint32_t powerEnumeratePlan(const PowerApi& api, uint32_t index, Guid& plan);
// The plan's display name, "(tanpa nama)" when it cannot be read.
std::wstring planFriendlyName(const PowerApi& api, const Guid& plan);

// The maximum processor state (percent) of a plan, on mains (AC) and on battery (DC).
uint32_t powerReadAc(const PowerApi& api, const Guid& plan, uint32_t& percent);
uint32_t powerReadDc(const PowerApi& api, const Guid& plan, uint32_t& percent);
uint32_t powerWriteAc(const PowerApi& api, const Guid& plan, uint32_t percent);
uint32_t powerWriteDc(const PowerApi& api, const Guid& plan, uint32_t percent);

// The range Windows allows for the maximum processor state.
uint32_t powerReadMinimum(const PowerApi& api, uint32_t& percent);
uint32_t powerReadMaximum(const PowerApi& api, uint32_t& percent);
bool powerHasIncrement(const PowerApi& api);
uint32_t powerReadIncrement(const PowerApi& api, uint32_t& percent);

} // namespace ovra
