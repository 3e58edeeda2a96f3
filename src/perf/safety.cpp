#include "perf/safety.h"

#include "sources/format.h"

namespace ovra {

bool perfGateAllows(bool capsProbed, const PerfCaps& caps, const Reading<double>& temperature,
                    int32_t safetyLimit, std::wstring& reason) {
    if (!capsProbed || (!caps.plans.ok && !caps.range.ok)) {
        reason = L"Perangkat ini tidak mengekspos pengaturan performa yang didukung.";
        return false;
    }
    if (!temperature.ok) {
        reason = L"Kontrol dinonaktifkan karena tidak ada sensor suhu resmi yang terbaca. Tanpa "
                 L"pemantauan suhu, perubahan performa tidak diizinkan.";
        return false;
    }
    if (temperature.value >= static_cast<double>(safetyLimit)) {
        reason = formatText(L"Suhu saat ini %ls°C sudah mencapai batas pengaman %d°C.",
                            formatNumber(temperature.value, 0).c_str(), int(safetyLimit));
        return false;
    }
    return true;
}

std::wstring safetyTripCause(const Reading<double>& temperature, int32_t safetyLimit) {
    if (!temperature.ok) return L"Sensor suhu hilang atau gagal dibaca.";
    if (temperature.value >= static_cast<double>(safetyLimit))
        return formatText(L"Suhu %ls°C mencapai batas pengaman %d°C.",
                          formatNumber(temperature.value, 0).c_str(), int(safetyLimit));
    return {};
}

SafetyNotice safetyNotice(bool restored, const std::wstring& cause, const std::wstring& detail,
                          std::wstring& toldFailure) {
    if (restored) {
        toldFailure.clear();
        return {L"Pengaturan performa dipulihkan", cause};
    }
    if (cause == toldFailure) return {};
    toldFailure = cause;
    return {L"Pengaturan performa gagal dipulihkan", detail};
}

} // namespace ovra
