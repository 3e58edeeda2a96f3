#include "app/scheduler.h"

#include "app/app.h"
#include "app/metrics_export.h"
#include "app/perf_control.h"
#include "app/profile.h"
#include "app/tray.h"
#include "app/window.h"
#include "sources/clock.h"

namespace ovra {

unsigned processIntervalMs(int processMode, int page) {
    if (page != processesPage || processMode == 0) return 0;
    return processMode == 2 ? 10000u : 3000u;
}

unsigned timerPeriodMs(const Settings& settings, int page, TimerId id) {
    switch (id) {
    case fastTimer: return static_cast<unsigned>(settings.fastIntervalMs);
    case slowTimer: return static_cast<unsigned>(settings.slowIntervalMs);
    case processTimer: return processIntervalMs(settings.processMode, page);
    case smartTimer: return smartIntervalMs;
    }
    return 0;
}

void restartTimers(App& app) {
    for (TimerId id : {fastTimer, slowTimer, smartTimer})
        SetTimer(app.window, id, timerPeriodMs(app.settings, app.view.page, id), nullptr);
    restartProcessTimer(app);
}

void restartProcessTimer(App& app) {
    KillTimer(app.window, processTimer);
    if (const unsigned period = timerPeriodMs(app.settings, app.view.page, processTimer))
        SetTimer(app.window, processTimer, period, nullptr);
}

void onTimer(App& app, uintptr_t id) {
    switch (id) {
    case fastTimer: fastTick(app); break;
    case slowTimer: slowTick(app); break;
    case processTimer: processTick(app); break;
    case smartTimer: smartCheck(app.machine.storage); break;
    default: break;
    }
}

Sample buildSample(uint64_t time, const CpuInfo& cpu, const MemoryInfo& memory,
                   const NetworkInfo& network, const StorageInfo& storage,
                   const Reading<double>& hottestTemperature) {
    Sample sample;
    sample.time = time;
    if (cpu.usage.ok) sample.cpuPercent = static_cast<float>(cpu.usage.value);
    if (memory.ok) sample.ramPercent = static_cast<float>(memory.usedPercent);
    if (network.status.ok && network.ratesValid) {
        sample.downloadRate = static_cast<float>(network.downloadRate);
        sample.uploadRate = static_cast<float>(network.uploadRate);
    }
    // A drive counts only when both of its rates are known, so that read and
    // write always describe the same drives.
    double read = 0, write = 0;
    bool anyDrive = false;
    for (const Drive& drive : storage.drives) {
        if (!drive.readRate.ok || !drive.writeRate.ok) continue;
        read += drive.readRate.value;
        write += drive.writeRate.value;
        anyDrive = true;
    }
    if (anyDrive) {
        sample.diskReadRate = static_cast<float>(read);
        sample.diskWriteRate = static_cast<float>(write);
    }
    if (hottestTemperature.ok) sample.temperature = static_cast<float>(hottestTemperature.value);
    return sample;
}

size_t fastTick(App& app) {
    ProfileScope scope(ProfileSection::fastTick);
    pdhCollect(app.machine.fastQuery);
    cpuUpdate(app.machine.cpu);
    memoryUpdate(app.machine.memory);
    networkUpdate(app.machine.network);
    diskIoUpdate(app.machine.storage);

    // While a power-setting change is active, temperature is watched at the fast rate;
    // a restore that keeps failing is retried by the slow tick alone.
    if (watchTemperatureFast(app)) {
        pdhCollect(app.machine.thermalQuery);
        thermalUpdate(app.machine.thermal);
        safetyCheck(app);
    }

    const uint64_t now = systemTimeNow();
    historyAppend(app.history,
                  buildSample(now, app.machine.cpu, app.machine.memory, app.machine.network,
                              app.machine.storage,
                              hottestOfficialTemperature(app.machine.thermal, app.machine.gpu)));

    const HealthInputs inputs{app.machine.cpu,     app.machine.memory,  app.machine.storage,
                              app.machine.battery, app.machine.thermal, app.machine.gpu};
    // Durations run on the monotonic clock: setting the wall clock back must not
    // fire the CPU alert nor end a quiet period.
    const std::vector<Alert> raised =
        evaluateAlerts(app.alerts, app.settings, inputs, GetTickCount64());
    size_t balloons = 0;
    if (app.settings.notifications && app.view.trayPresent) {
        for (const Alert& alert : raised)
            showBalloon(app, alert.title, alert.message);
        balloons = raised.size();
    }
    invalidateChangedParts(app);
    return balloons;
}

void slowTick(App& app) {
    ProfileScope scope(ProfileSection::slowTick);
    pdhCollect(app.machine.gpuQuery);
    pdhCollect(app.machine.thermalQuery);
    gpuUpdate(app.machine.gpu);
    thermalUpdate(app.machine.thermal);
    batteryUpdate(app.machine.battery);
    drivesUpdate(app.machine.storage);
    safetyCheck(app);
    exportMetrics(app);
    // The shell may not have been ready at start-up (Explorer starting at sign-in).
    if (!app.view.trayPresent) addTrayIcon(app);
    invalidateChangedParts(app);
}

void processTick(App& app) {
    if (processIntervalMs(app.settings.processMode, app.view.page) == 0 || !windowShowsContent(app))
        return;
    {
        ProfileScope scope(ProfileSection::processTick);
        processUpdate(app.machine.processes, app.machine.cpu.logicalProcessors);
    }
    invalidateChangedParts(app);
}

} // namespace ovra
