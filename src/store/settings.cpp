#include "store/settings.h"

#include <type_traits>

#include "store/settings_fields.h"

namespace ovra {

const AlertKindInfo& alertKindInfo(AlertKind kind) {
    static const AlertKindInfo rows[alertKindCount] = {
        {L"CPU tinggi (selama 30 detik)", L"%", 50, 100, 5, 90, true},
        {L"RAM hampir penuh", L"%", 50, 98, 1, 85, true},
        {L"Ruang disk kosong di bawah", L"%", 2, 50, 1, 10, true},
        {L"Baterai lemah di bawah", L"%", 5, 50, 5, 15, true},
        {L"Suhu di atas", L"\u00B0C", 50, 100, 5, 85, true},
    };
    const int index = static_cast<int>(kind);
    return rows[index >= 0 && index < alertKindCount ? index : 0];
}

namespace {

constexpr size_t firstAlertField = 7;
constexpr size_t safetyLimitField = firstAlertField + 2 * alertKindCount;

// "peringatan" + the kind's digit + suffix, e.g. "peringatan2_ambang".
std::wstring alertKey(int kind, const wchar_t* suffix) {
    return L"peringatan" + std::wstring(1, static_cast<wchar_t>(L'0' + kind)) + suffix;
}

std::array<SettingField, settingFieldCount> buildSettingFields() {
    std::array<SettingField, settingFieldCount> fields{{
        {L"tema", false, 0, 2},
        {L"interval_cepat_ms", false, 1000, 5000},
        {L"interval_lambat_ms", false, 5000, 30000},
        {L"mode_proses", false, 0, 2},
        {L"riwayat_disimpan", true, 0, 1},
        {L"notifikasi", true, 0, 1},
        {L"rentang_riwayat_menit", false, 5, 60},
    }};
    for (int kind = 0; kind < alertKindCount; ++kind) {
        const AlertKindInfo& info = alertKindInfo(static_cast<AlertKind>(kind));
        fields[firstAlertField + 2 * kind] = {alertKey(kind, L"_aktif"), true, 0, 1};
        fields[firstAlertField + 2 * kind + 1] = {alertKey(kind, L"_ambang"), false, info.minimum,
                                                  info.maximum};
    }
    fields[safetyLimitField] = {L"suhu_pengaman", false, lowestSafetyLimit, highestSafetyLimit};
    return fields;
}

// Hands the member behind field `index` to `use`, as a bool or an int32_t lvalue;
// the one place that maps table rows to members.
template <class Record, class Use> void withField(Record& settings, size_t index, Use&& use) {
    if (index >= firstAlertField && index < safetyLimitField) {
        const size_t kind = (index - firstAlertField) / 2;
        if ((index - firstAlertField) % 2 == 0)
            use(settings.alertEnabled[kind]);
        else
            use(settings.alertThreshold[kind]);
        return;
    }
    switch (index) {
    case 0: use(settings.theme); break;
    case 1: use(settings.fastIntervalMs); break;
    case 2: use(settings.slowIntervalMs); break;
    case 3: use(settings.processMode); break;
    case 4: use(settings.saveHistory); break;
    case 5: use(settings.notifications); break;
    case 6: use(settings.historyRangeMinutes); break;
    case safetyLimitField: use(settings.safetyLimit); break;
    default: break;
    }
}

} // namespace

const std::array<SettingField, settingFieldCount>& settingFields() {
    static const std::array<SettingField, settingFieldCount> fields = buildSettingFields();
    return fields;
}

int32_t clampSetting(int32_t value, int32_t minimum, int32_t maximum) {
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return value;
}

int32_t settingValue(const Settings& settings, size_t index) {
    int32_t stored = 0;
    withField(settings, index, [&](const auto& value) { stored = static_cast<int32_t>(value); });
    return stored;
}

void setSettingValue(Settings& settings, size_t index, int32_t stored) {
    if (index >= settingFieldCount) return;
    const SettingField& field = settingFields()[index];
    withField(settings, index, [&](auto& value) {
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(value)>, bool>)
            value = stored > 0;
        else
            value = clampSetting(stored, field.minimum, field.maximum);
    });
}

} // namespace ovra
