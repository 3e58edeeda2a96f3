#include "app/perf_control.h"

#include <algorithm>

#include "app/app.h"
#include "app/tray.h"
#include "perf/safety.h"

namespace ovra {

namespace {

std::wstring recoveryPath(const App& app) {
    return appFilePath(app, recoveryFileName);
}

// After the engine wrote or deleted the recovery file, or at start-up.
void noteRecoveryFile(App& app) {
    app.perf.changeInForce = recoveryFileExists(recoveryPath(app));
}

void readPowerStateInto(App& app) {
    app.perf.powerState = readPowerState(app.perf.powerApi);
}

void setPerfMessage(App& app, std::wstring message, bool succeeded) {
    app.perf.perfMessage = std::move(message);
    app.perf.perfMessageIsError = !succeeded;
}

// After a restore or reset asked for by the user: its message on the status line,
// control off, the state in force read again.
void endPerfControl(App& app, std::wstring message, bool succeeded) {
    setPerfMessage(app, std::move(message), succeeded);
    app.perf.perfControlOn = false;
    readPowerStateInto(app);
}

} // namespace

bool restoreWithReason(App& app, const std::wstring& reason) {
    if (!app.perf.changeInForce) return true;
    std::wstring result;
    const bool restored = restorePerfChange(app.perf.powerApi, recoveryPath(app), result);
    noteRecoveryFile(app);
    setPerfMessage(app, reason + L" " + result, restored);
    readPowerStateInto(app);
    return restored;
}

bool checkPerfGate(const App& app, std::wstring& reason) {
    return perfGateAllows(app.perf.capsProbed, app.perf.perfCaps, app.machine.thermal.maxTemp,
                          app.settings.safetyLimit, reason);
}

void safetyCheck(App& app) {
    if (!app.perf.changeInForce) {
        app.perf.perfRestoreFailedCause.clear();
        return;
    }
    // A restore that failed is tried again at every check until it succeeds, even
    // once its cause has passed; the failure is announced once per cause.
    std::wstring cause = safetyTripCause(app.machine.thermal.maxTemp, app.settings.safetyLimit);
    if (cause.empty()) cause = app.perf.perfRestoreFailedCause;
    if (cause.empty()) return;
    const std::wstring prefix = L"Pemulihan otomatis: ";
    const bool restored = restoreWithReason(app, prefix + cause);
    app.perf.perfControlOn = false;
    // The detail of a failure is the status line without its prefix: the cause and why.
    const SafetyNotice notice =
        safetyNotice(restored, cause, app.perf.perfMessage.substr(prefix.size()),
                     app.perf.perfRestoreFailedCause);
    if (!notice.title.empty() && app.view.trayPresent) showBalloon(app, notice.title, notice.text);
}

bool perfRestoreFailing(const App& app) {
    return !app.perf.perfRestoreFailedCause.empty() && app.perf.changeInForce;
}

bool watchTemperatureFast(const App& app) {
    return app.perf.changeInForce && app.perf.perfRestoreFailedCause.empty();
}

void recoverAtStartup(App& app) {
    noteRecoveryFile(app);
    if (!app.perf.changeInForce) return;
    std::wstring result;
    const bool restored = restorePerfChange(app.perf.powerApi, recoveryPath(app), result);
    noteRecoveryFile(app);
    setPerfMessage(app,
                   L"Saat dibuka, Ovra Monitor menemukan perubahan performa dari sesi sebelumnya "
                   L"yang belum dipulihkan, lalu mengembalikannya. " +
                       result,
                   restored);
}

void refreshPerfCaps(App& app) {
    app.perf.perfCaps = probePerfCaps(app.perf.powerApi);
    readPowerStateInto(app);
    app.perf.capsProbed = true;
}

void switchPerfControlOn(App& app) {
    app.perf.perfControlOn = true;
    app.perf.perfCaps = probePerfCaps(app.perf.powerApi);
    readPowerStateInto(app);
    app.perf.selectedPlan = -1;
    if (app.perf.powerState.valid) {
        const auto& plans = app.perf.perfCaps.planList;
        for (size_t i = 0; i < plans.size(); ++i) {
            if (plans[i].guid == app.perf.powerState.activePlan) {
                app.perf.selectedPlan = static_cast<int32_t>(i);
                break;
            }
        }
    }
    app.perf.selectedPercent =
        app.perf.powerState.acPercent.ok
            ? std::clamp(app.perf.powerState.acPercent.value, app.perf.perfCaps.minPercent,
                         std::max(app.perf.perfCaps.minPercent, app.perf.perfCaps.maxPercent))
            : app.perf.perfCaps.maxPercent;
    app.perf.perfMessage.clear();
}

void switchPerfControlOff(App& app) {
    restoreWithReason(app, L"Kontrol dimatikan.");
    app.perf.perfControlOn = false;
}

void applySelectedPerfChange(App& app) {
    if (!app.perf.perfControlOn) return;
    // A change the user makes now is watched afresh at the fast tick.
    app.perf.perfRestoreFailedCause.clear();
    const auto& plans = app.perf.perfCaps.planList;
    if (app.perf.selectedPlan < 0 || static_cast<size_t>(app.perf.selectedPlan) >= plans.size())
        return;
    std::wstring message;
    if (applyPerfChange(app.perf.powerApi, recoveryPath(app), app.perf.perfCaps,
                        plans[static_cast<size_t>(app.perf.selectedPlan)].guid,
                        app.perf.selectedPercent, message))
        setPerfMessage(app, L"Diterapkan. Pemantauan suhu dipercepat selama perubahan aktif.",
                       true);
    else
        setPerfMessage(app, L"Tidak diterapkan: " + message, false);
    noteRecoveryFile(app);
    readPowerStateInto(app);
}

void restorePerfSettings(App& app) {
    std::wstring message;
    const bool restored = restorePerfChange(app.perf.powerApi, recoveryPath(app), message);
    noteRecoveryFile(app);
    endPerfControl(app, std::move(message), restored);
}

void resetPerfSettings(App& app) {
    std::wstring message;
    const bool reset = resetToWindowsDefault(app.perf.powerApi, recoveryPath(app), message);
    noteRecoveryFile(app);
    endPerfControl(app, std::move(message), reset);
}

void choosePerfPlan(App& app, int32_t index) {
    if (app.perf.perfControlOn) app.perf.selectedPlan = index;
}

void stepPerfPercent(App& app, int32_t direction) {
    if (!app.perf.perfControlOn) return;
    const int64_t step = std::max<uint32_t>(app.perf.perfCaps.stepPercent, 5);
    const int64_t stepped = int64_t(app.perf.selectedPercent) + direction * step;
    const int64_t low = app.perf.perfCaps.minPercent;
    const int64_t high = std::max<int64_t>(low, app.perf.perfCaps.maxPercent);
    app.perf.selectedPercent = static_cast<uint32_t>(std::clamp(stepped, low, high));
}

} // namespace ovra
