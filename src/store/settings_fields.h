#pragma once
// The keys of settings.ini as one table: each persisted field of `Settings` with its
// key and range, in the order the file is written. Loading, saving and the tests all
// walk this table, so a field cannot be read without also being written.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/settings.h"

namespace ovra {

inline constexpr wchar_t settingsSection[] = L"umum";

struct SettingField {
    std::wstring key;
    bool flag;       // a bool field: written as 0 or 1, read as true when above 0
    int32_t minimum; // 0 and 1 for a flag
    int32_t maximum;
};

// Seven general fields, an enabled/threshold pair per alert kind, the safety limit.
inline constexpr size_t settingFieldCount = 7 + 2 * alertKindCount + 1;

const std::array<SettingField, settingFieldCount>& settingFields();

// lo if value < lo, hi if value > hi, else value.
int32_t clampSetting(int32_t value, int32_t minimum, int32_t maximum);

// The integer stored in the file for field `index` (a flag as 0 or 1).
int32_t settingValue(const Settings& settings, size_t index);

// Takes the integer read from the file for field `index`: a flag becomes true when
// it is above 0, any other value is clamped into the field's range.
void setSettingValue(Settings& settings, size_t index, int32_t stored);

} // namespace ovra
