#pragma once
// Performance control: applying official power settings and undoing them through
// the recovery file. Not built yet: no change is ever made, so there is never
// anything to undo.
#include <string>
#include "perf/power_api.h"

namespace ovra {

inline constexpr wchar_t recoveryFileName[] = L"pemulihan_performa.ini";

struct PerfCaps {};
struct PowerState {};

// Whether a change is recorded in the recovery file at `path`.
bool recoveryFileExists(const std::wstring& path);

// Undoes the change recorded in the recovery file; false when nothing could be
// restored. `message` receives the result text.
bool restorePerfChange(const PowerApi& api, const std::wstring& path, std::wstring& message);

} // namespace ovra
