// settings.ini against real profile files in a fresh folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "harness.h"
#include "store/settings_fields.h"

namespace ovra {

// Each key alone, just inside and outside its range: read clamped, the missing keys
// keeping the values held (not the defaults), then saved and read back alike.
TEST(SettingsFile, EveryKeyClampsKeepsWhatIsMissingAndRoundTrips) {
    test::TempFolder folder{L"ovra-settings"};
    const std::wstring path = folder.file(L"settings.ini");
    const auto& fields = settingFields();
    const auto otherEnd = [&](size_t j, int32_t value) {
        return value == fields[j].minimum ? fields[j].maximum : fields[j].minimum;
    };
    Settings held; // away from the defaults, so that a key read as its default shows
    for (size_t j = 0; j < settingFieldCount; ++j)
        setSettingValue(held, j, otherEnd(j, settingValue(held, j)));
    for (size_t i = 0; i < settingFieldCount; ++i) {
        const SettingField& field = fields[i];
        for (int32_t value : {field.minimum - 1, field.minimum, field.maximum, field.maximum + 1}) {
            const int32_t clamped = std::clamp(value, field.minimum, field.maximum);
            DeleteFileW(path.c_str());
            WritePrivateProfileStringW(L"umum", field.key.c_str(), std::to_wstring(value).c_str(),
                                       path.c_str());
            Settings loaded = held, again = held;
            setSettingValue(loaded, i, otherEnd(i, clamped));
            loadSettings(loaded, path);
            saveSettings(loaded, path);
            loadSettings(again, path);
            for (size_t j = 0; j < settingFieldCount; ++j) {
                EXPECT_EQ(settingValue(loaded, j), j == i ? clamped : settingValue(held, j)) << i;
                EXPECT_EQ(settingValue(again, j), settingValue(loaded, j)) << i << " " << j;
            }
        }
    }
}

} // namespace ovra
