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

void readPowerStateInto(App& app) {
    app.powerState = readPowerState(app.powerApi);
}

void setPerfMessage(App& app, std::wstring message, bool succeeded) {
    app.perfMessage = std::move(message);
    app.perfMessageIsError = !succeeded;
}

// After a restore or reset asked for by the user: its message on the status line,
// control off, the state in force read again.
void endPerfControl(App& app, std::wstring message, bool succeeded) {
    setPerfMessage(app, std::move(message), succeeded);
    app.perfControlOn = false;
    readPowerStateInto(app);
}

} // namespace

bool restoreWithReason(App& app, const std::wstring& reason) {
    if (!recoveryFileExists(recoveryPath(app))) return true;
    std::wstring result;
    const bool restored = restorePerfChange(app.powerApi, recoveryPath(app), result);
    setPerfMessage(app, reason + L" " + result, restored);
    readPowerStateInto(app);
    return restored;
}

bool checkPerfGate(const App& app, std::wstring& reason) {
    return perfGateAllows(app.capsProbed, app.perfCaps, app.thermal.maxTemp,
                          app.settings.safetyLimit, reason);
}

void safetyCheck(App& app) {
    if (!recoveryFileExists(recoveryPath(app))) {
        app.perfRestoreFailedCause.clear();
        return;
    }
    // A restore that failed is tried again at every check until it succeeds, even
    // once its cause has passed; the failure is announced once per cause.
    std::wstring cause = safetyTripCause(app.thermal.maxTemp, app.settings.safetyLimit);
    if (cause.empty()) cause = app.perfRestoreFailedCause;
    if (cause.empty()) return;
    const std::wstring prefix = L"Pemulihan otomatis: ";
    const bool restored = restoreWithReason(app, prefix + cause);
    app.perfControlOn = false;
    // The detail of a failure is the status line without its prefix: the cause and why.
    const SafetyNotice notice = safetyNotice(restored, cause, app.perfMessage.substr(prefix.size()),
                                             app.perfRestoreFailedCause);
    if (!notice.title.empty() && app.trayPresent) showBalloon(app, notice.title, notice.text);
}

bool perfRestoreFailing(const App& app) {
    return !app.perfRestoreFailedCause.empty() && recoveryFileExists(recoveryPath(app));
}

bool watchTemperatureFast(const App& app) {
    return recoveryFileExists(recoveryPath(app)) && app.perfRestoreFailedCause.empty();
}

void recoverAtStartup(App& app) {
    if (!recoveryFileExists(recoveryPath(app))) return;
    std::wstring result;
    const bool restored = restorePerfChange(app.powerApi, recoveryPath(app), result);
    setPerfMessage(app,
                   L"Saat dibuka, Ovra Monitor menemukan perubahan performa dari sesi sebelumnya "
                   L"yang belum dipulihkan, lalu mengembalikannya. " +
                       result,
                   restored);
}

void refreshPerfCaps(App& app) {
    app.perfCaps = probePerfCaps(app.powerApi);
    readPowerStateInto(app);
    app.capsProbed = true;
}

void switchPerfControlOn(App& app) {
    app.perfControlOn = true;
    app.perfCaps = probePerfCaps(app.powerApi);
    readPowerStateInto(app);
    app.selectedPlan = -1;
    if (app.powerState.valid) {
        const auto& plans = app.perfCaps.planList;
        for (size_t i = 0; i < plans.size(); ++i) {
            if (plans[i].guid == app.powerState.activePlan) {
                app.selectedPlan = static_cast<int32_t>(i);
                break;
            }
        }
    }
    app.selectedPercent =
        app.powerState.acPercent.ok
            ? std::clamp(app.powerState.acPercent.value, app.perfCaps.minPercent,
                         std::max(app.perfCaps.minPercent, app.perfCaps.maxPercent))
            : app.perfCaps.maxPercent;
    app.perfMessage.clear();
}

void switchPerfControlOff(App& app) {
    restoreWithReason(app, L"Kontrol dimatikan.");
    app.perfControlOn = false;
}

void applySelectedPerfChange(App& app) {
    if (!app.perfControlOn) return;
    // A change the user makes now is watched afresh at the fast tick.
    app.perfRestoreFailedCause.clear();
    const auto& plans = app.perfCaps.planList;
    if (app.selectedPlan < 0 || static_cast<size_t>(app.selectedPlan) >= plans.size()) return;
    std::wstring message;
    if (applyPerfChange(app.powerApi, recoveryPath(app), app.perfCaps,
                        plans[static_cast<size_t>(app.selectedPlan)].guid, app.selectedPercent,
                        message))
        setPerfMessage(app, L"Diterapkan. Pemantauan suhu dipercepat selama perubahan aktif.",
                       true);
    else
        setPerfMessage(app, L"Tidak diterapkan: " + message, false);
    readPowerStateInto(app);
}

void restorePerfSettings(App& app) {
    std::wstring message;
    const bool restored = restorePerfChange(app.powerApi, recoveryPath(app), message);
    endPerfControl(app, std::move(message), restored);
}

void resetPerfSettings(App& app) {
    std::wstring message;
    const bool reset = resetToWindowsDefault(app.powerApi, recoveryPath(app), message);
    endPerfControl(app, std::move(message), reset);
}

void choosePerfPlan(App& app, int32_t index) {
    if (app.perfControlOn) app.selectedPlan = index;
}

void stepPerfPercent(App& app, int32_t direction) {
    if (!app.perfControlOn) return;
    const int64_t step = std::max<uint32_t>(app.perfCaps.stepPercent, 5);
    const int64_t stepped = int64_t(app.selectedPercent) + direction * step;
    const int64_t low = app.perfCaps.minPercent;
    const int64_t high = std::max<int64_t>(low, app.perfCaps.maxPercent);
    app.selectedPercent = static_cast<uint32_t>(std::clamp(stepped, low, high));
}

} // namespace ovra
