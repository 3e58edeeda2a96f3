#include "perf/perf_engine.h"

#include <algorithm>

#include "perf/power_calls.h"
#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint32_t maxListedPlans = 32;
constexpr uint32_t lowestOfferedPercent = 30;
constexpr wchar_t apiUnavailable[] = L"API manajemen daya tidak tersedia.";
constexpr wchar_t activeKey[] = L"aktif";
constexpr wchar_t countKey[] = L"jumlah";

std::wstring entryKey(const wchar_t* prefix, int32_t entry) {
    return prefix + std::to_wstring(entry);
}

std::wstring numberText(int64_t number) {
    return std::to_wstring(number);
}

// The entries worth reading: a damaged count (negative, or absurdly large) never
// makes the program read billions of keys.
int32_t boundedEntryCount(int32_t count) {
    return std::clamp<int32_t>(count, 0, maxRecoveryEntries);
}

uint32_t clampPercent(int32_t value) {
    return static_cast<uint32_t>(std::clamp<int32_t>(value, 0, 100));
}

bool planIsRecorded(const std::wstring& path, int32_t count, const Guid& plan) {
    for (int32_t i = 0; i < boundedEntryCount(count); ++i) {
        Guid recorded;
        if (guidFromText(recoveryReadText(path, entryKey(L"skema", i)), recorded) &&
            recorded == plan)
            return true;
    }
    return false;
}

const wchar_t recordNotWritten[] =
    L"Nilai asli tidak dapat disimpan di berkas pemulihan (folder data tidak dapat ditulis atau "
    L"penuh); perubahan dibatalkan dan pengaturan Windows tidak diubah.";

// Creates the recovery file with the plan active now. False (and no file left
// behind) when the active plan is unreadable or the file does not hold what was
// written.
bool createRecord(const PowerApi& api, const std::wstring& path, std::wstring& message) {
    Guid active;
    if (!powerActivePlan(api, active)) {
        message = L"Rencana daya aktif tidak terbaca; perubahan dibatalkan.";
        return false;
    }
    const std::wstring activeText = guidToText(active);
    recoveryWriteText(path, activeKey, activeText);
    recoveryWriteText(path, countKey, L"0");
    if (recoveryReadText(path, activeKey) == activeText &&
        recoveryReadNumber(path, countKey, -1) == 0)
        return true;
    recoveryDelete(path);
    message = recordNotWritten;
    return false;
}

// Adds entry `count` with the plan's values as they are now. Nothing is counted
// until the entry reads back whole, so a partial entry is never restored.
bool addEntry(const PowerApi& api, const std::wstring& path, int32_t count, const Guid& plan,
              bool fileIsNew, std::wstring& message) {
    uint32_t ac = 0, dc = 0;
    if (powerReadAc(api, plan, ac) != 0 || powerReadDc(api, plan, dc) != 0) {
        message = L"Nilai asli tidak terbaca; perubahan dibatalkan agar tetap bisa dipulihkan.";
        return false;
    }
    const std::wstring planText = guidToText(plan);
    recoveryWriteText(path, entryKey(L"skema", count), planText);
    recoveryWriteText(path, entryKey(L"ac", count), numberText(ac));
    recoveryWriteText(path, entryKey(L"dc", count), numberText(dc));
    bool whole = recoveryReadText(path, entryKey(L"skema", count)) == planText &&
                 recoveryReadNumber(path, entryKey(L"ac", count), -1) == int32_t(ac) &&
                 recoveryReadNumber(path, entryKey(L"dc", count), -1) == int32_t(dc);
    if (whole) {
        recoveryWriteText(path, countKey, numberText(count + 1));
        whole = recoveryReadNumber(path, countKey, -1) == count + 1;
        if (!whole) recoveryWriteText(path, countKey, numberText(count));
    }
    if (whole) return true;
    if (fileIsNew) recoveryDelete(path);
    message = recordNotWritten;
    return false;
}

// A plan missing from Windows' plan list was deleted: nothing of it is left to
// restore. A list that cannot be read proves nothing.
bool planIsGone(const PowerApi& api, const Guid& plan) {
    constexpr uint32_t enoughPlans = 256;
    uint32_t index = 0;
    for (Guid listed; index < enoughPlans && powerEnumeratePlan(api, index, listed) == 0; ++index)
        if (listed == plan) return false;
    return index > 0;
}

} // namespace

PerfCaps probePerfCaps(const PowerApi& api) {
    PerfCaps caps;
    if (!powerApiAvailable(api)) {
        const wchar_t* reason = L"API manajemen daya Windows (powrprof.dll) tidak lengkap.";
        setUnavailable(caps.plans, Limitation::WindowsApi, reason);
        setUnavailable(caps.range, Limitation::WindowsApi, reason);
        return caps;
    }
    for (uint32_t index = 0; index < maxListedPlans; ++index) {
        PowerPlan plan;
        if (powerEnumeratePlan(api, index, plan.guid) != 0) break;
        plan.name = planFriendlyName(api, plan.guid);
        caps.planList.push_back(std::move(plan));
    }
    if (caps.planList.size() > 1)
        setReading(caps.plans, true);
    else
        setUnavailable(caps.plans, Limitation::Firmware,
                       L"Perangkat ini hanya memiliki satu rencana daya (umum pada perangkat "
                       L"Modern Standby), jadi tidak ada pilihan untuk dialihkan.");

    uint32_t minimum = 0, maximum = 0, increment = 1;
    if (powerReadMinimum(api, minimum) == 0 && powerReadMaximum(api, maximum) == 0 &&
        minimum < maximum) {
        // The increment is a nicety: without it the step stays 1.
        if (powerHasIncrement(api)) powerReadIncrement(api, increment);
        setReading(caps.range, true);
        caps.minPercent = std::max(minimum, lowestOfferedPercent);
        caps.maxPercent = std::min<uint32_t>(maximum, 100);
        caps.stepPercent = increment == 0 ? 1 : increment;
    } else {
        setUnavailable(caps.range, Limitation::WindowsApi,
                       L"Windows tidak mengekspos rentang \"status prosesor maksimum\" "
                       L"(pengaturan disembunyikan atau dikunci oleh kebijakan).");
    }
    return caps;
}

PowerState readPowerState(const PowerApi& api) {
    PowerState state;
    if (!powerApiAvailable(api) || !powerActivePlan(api, state.activePlan)) return state;
    state.valid = true;
    state.activeName = planFriendlyName(api, state.activePlan);
    uint32_t percent = 0;
    if (powerReadAc(api, state.activePlan, percent) == 0)
        setReading(state.acPercent, percent);
    else
        setUnavailable(state.acPercent, Limitation::WindowsApi, L"Tidak terbaca.");
    if (powerReadDc(api, state.activePlan, percent) == 0)
        setReading(state.dcPercent, percent);
    else
        setUnavailable(state.dcPercent, Limitation::WindowsApi, L"Tidak terbaca.");
    return state;
}

bool applyPerfChange(const PowerApi& api, const std::wstring& path, const PerfCaps& caps,
                     const Guid& plan, uint32_t percent, std::wstring& message) {
    if (!powerApiAvailable(api)) {
        message = apiUnavailable;
        return false;
    }
    if (std::none_of(caps.planList.begin(), caps.planList.end(),
                     [&](const PowerPlan& listed) { return listed.guid == plan; })) {
        message = L"Rencana daya tidak dikenal.";
        return false;
    }
    // Without an exposed range nothing is known to be allowed: refused like an
    // out-of-range value, against the default bounds.
    const uint32_t low = caps.range.ok ? caps.minPercent : 0;
    const uint32_t high = caps.range.ok ? caps.maxPercent : 100;
    if (!caps.range.ok || percent < low || percent > high) {
        message = formatText(L"Nilai %lu%% di luar batas yang diizinkan (%lu-%lu%%).",
                             static_cast<unsigned long>(percent), static_cast<unsigned long>(low),
                             static_cast<unsigned long>(high));
        return false;
    }

    // The values in force go on record before anything changes.
    const bool fileIsNew = !recoveryFileExists(path);
    if (fileIsNew && !createRecord(api, path, message)) return false;
    const int32_t count = recoveryReadNumber(path, countKey, 0);
    const bool recorded = planIsRecorded(path, count, plan);
    // A record that cannot be read, or whose count cannot be trusted, takes no new
    // entry: it could overwrite the values of another plan, or never be restored.
    Guid recordedActive;
    if (!guidFromText(recoveryReadText(path, activeKey), recordedActive) ||
        (!recorded && (count < 0 || count >= maxRecoveryEntries))) {
        message = L"Berkas pemulihan rusak atau tidak terbaca; perubahan dibatalkan. Pulihkan "
                  L"pengaturan terlebih dahulu.";
        return false;
    }
    if (!recorded) {
        if (!addEntry(api, path, count, plan, fileIsNew, message)) return false;
    }

    uint32_t code = powerWriteAc(api, plan, percent);
    if (code == 0) code = powerWriteDc(api, plan, percent);
    if (code == 0) code = powerSetActivePlan(api, plan);
    std::wstring discarded;
    if (code != 0) {
        message = L"Windows menolak perubahan: " + windowsErrorText(code);
        restorePerfChange(api, path, discarded);
        return false;
    }
    uint32_t readBack = 0;
    if (powerReadAc(api, plan, readBack) != 0 || readBack != percent) {
        message = L"Nilai yang terbaca setelah diterapkan tidak sesuai; pengaturan dipulihkan.";
        restorePerfChange(api, path, discarded);
        return false;
    }
    return true;
}

bool restorePerfChange(const PowerApi& api, const std::wstring& path, std::wstring& message) {
    if (!powerApiAvailable(api)) {
        message = apiUnavailable;
        return false;
    }
    if (!recoveryFileExists(path)) {
        message = L"Tidak ada perubahan dari Ovra Monitor yang perlu dikembalikan.";
        return true;
    }
    const int32_t count = boundedEntryCount(recoveryReadNumber(path, countKey, 0));
    bool allWritten = true;
    bool planDeleted = false;
    for (int32_t i = 0; i < count; ++i) {
        Guid plan;
        if (!guidFromText(recoveryReadText(path, entryKey(L"skema", i)), plan)) continue;
        const uint32_t ac = clampPercent(recoveryReadNumber(path, entryKey(L"ac", i), 100));
        const uint32_t dc = clampPercent(recoveryReadNumber(path, entryKey(L"dc", i), 100));
        const bool acWritten = powerWriteAc(api, plan, ac) == 0;
        const bool dcWritten = powerWriteDc(api, plan, dc) == 0;
        if (acWritten && dcWritten) continue;
        if (planIsGone(api, plan))
            planDeleted = true;
        else
            allWritten = false;
    }
    Guid active;
    if (!guidFromText(recoveryReadText(path, activeKey), active)) active = balancedPlan;
    bool activated = powerSetActivePlan(api, active) == 0;
    // A plan deleted in Windows since cannot be made active again; whatever the
    // user made active instead stays.
    if (!activated && planIsGone(api, active)) activated = planDeleted = true;

    const wchar_t* const deletedNote =
        planDeleted ? L" Rencana daya yang sudah dihapus di Windows dilewati." : L"";
    if (!allWritten || !activated) {
        message = L"Sebagian pengaturan gagal dipulihkan. Buka Panel Kontrol > Opsi Daya > "
                  L"\"Pulihkan pengaturan default\" untuk rencana yang aktif.";
        return false;
    }
    // A record left behind would put these values back at every later start, over
    // whatever the user chooses in Windows meanwhile.
    if (!recoveryDelete(path)) {
        message = L"Pengaturan daya sudah dikembalikan, tetapi berkas pemulihan tidak dapat "
                  L"dihapus, sehingga pemulihan akan diulang. Pastikan folder data Ovra Monitor "
                  L"dapat ditulis.";
        return false;
    }
    message = std::wstring(L"Pengaturan daya dikembalikan ke nilai sebelum diubah Ovra Monitor.") +
              deletedNote;
    return true;
}

bool resetToWindowsDefault(const PowerApi& api, const std::wstring& path, std::wstring& message) {
    if (recoveryFileExists(path)) {
        std::wstring discarded;
        restorePerfChange(api, path, discarded);
    }
    if (!powerApiAvailable(api)) {
        message = apiUnavailable;
        return false;
    }
    uint32_t code = powerWriteAc(api, balancedPlan, 100);
    if (code == 0) code = powerWriteDc(api, balancedPlan, 100);
    if (code == 0) code = powerSetActivePlan(api, balancedPlan);
    if (code != 0) {
        message = L"Gagal menerapkan bawaan Windows: " + windowsErrorText(code);
        return false;
    }
    message = L"Rencana daya \"Seimbang\" (bawaan Windows) diaktifkan dengan status prosesor "
              L"maksimum 100%.";
    return true;
}

} // namespace ovra
