#include "app/metrics_export.h"

#include <windows.h>

#include <lmcons.h>

#include "app/app.h"
#include "export/metrics_file.h"
#include "sources/clock.h"

namespace ovra {

std::wstring signedInUser() {
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

void exportMetrics(App& app) {
    if (!app.settings.exportMetrics) {
        app.metricsError.clear();
        return;
    }
    if (app.settings.metricsFolder.empty()) {
        app.metricsError = L"Folder metrik belum dipilih.";
        return;
    }
    const Machine& m = app.machine;
    const HealthInputs inputs{m.cpu, m.memory, m.storage, m.battery, m.thermal, m.gpu};
    const std::vector<Finding> findings =
        evaluateFindings(app.settings, inputs, app.alerts.cpuSustained);
    const MetricsSnapshot snapshot{m.cpu,
                                   m.memory,
                                   m.network,
                                   m.storage,
                                   m.battery,
                                   m.thermal,
                                   m.gpu,
                                   m.system,
                                   findings,
                                   app.alerts.active,
                                   app.perf.changeInForce,
                                   app.settings.safetyLimit,
                                   signedInUser(),
                                   OVRA_VERSION,
                                   systemTimeNow()};
    std::wstring error;
    if (writeMetricsFile(app.settings.metricsFolder, metricsFileName(snapshot.user),
                         metricsText(snapshot), error))
        app.metricsError.clear();
    else
        app.metricsError = L"Berkas metrik tidak dapat ditulis ke folder ini: " + error;
}

void removeMetricsFile(const App& app) {
    if (app.settings.metricsFolder.empty()) return;
    std::wstring path = app.settings.metricsFolder;
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    DeleteFileW((path + metricsFileName(signedInUser())).c_str());
}

} // namespace ovra
