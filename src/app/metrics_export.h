#pragma once
// The metrics export of the App: the readings of the records written as this
// user's Prometheus file on the slow tick (src/export/metrics_file.h).
#include <string>

namespace ovra {

struct App;

// The signed-in user's name; empty when Windows does not say.
std::wstring signedInUser();

// Writes the file when the export is on and keeps in app.metricsError why the folder
// cannot be written (empty after a write that succeeded). Nothing else stops.
void exportMetrics(App& app);

// Deletes this user's file (the export was switched off or the folder changed).
void removeMetricsFile(const App& app);

} // namespace ovra
