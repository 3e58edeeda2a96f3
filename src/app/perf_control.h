#pragma once
// Performance control at the level of the application object: the automatic
// restores, the start-up recovery, and what the performance-control commands do
// once their dialogs (src/pages/perf_dialogs.h) have been answered.
#include <cstdint>
#include <string>

namespace ovra {

struct App;

// A recovery file at start-up means an earlier run ended with its changes still in
// force (a crash, a power cut): they are undone before the first paint.
void recoverAtStartup(App& app);

// A change is in force and not known to resist restoring: the fast tick watches
// the temperature.
bool watchTemperatureFast(const App& app);

// Opening the performance-control page: what the device offers and what is in force.
void refreshPerfCaps(App& app);

// Switching control on after the user's consent: fresh capabilities and power
// state, the active plan and its percentage preselected.
void switchPerfControlOn(App& app);
// Switching control off undoes every recorded change.
void switchPerfControlOff(App& app);

// The chosen plan and percentage, after the user confirmed them.
void applySelectedPerfChange(App& app);
// Puts back the recorded values (no confirmation needed).
void restorePerfSettings(App& app);
// Balanced at 100 %, after the user agreed.
void resetPerfSettings(App& app);

// Only while control is on: the plan index (checked when applying) and a step of
// the percentage by max(Windows' increment, 5) within the offered range.
void choosePerfPlan(App& app, int32_t index);
void stepPerfPercent(App& app, int32_t direction);

} // namespace ovra
