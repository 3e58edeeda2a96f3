// settings.ini against real profile files in a fresh folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "harness.h"
#include "store/settings_fields.h"

namespace ovra {

// settings.ini is written by hand too (an administrator may deploy it): per key in
// file order, the default, then what a value far below and far above its range reads as.
TEST(SettingsFile, KeysReadClampedRoundTripAndMissingOnesKeepWhatIsHeld) {
    test::TempFolder folder{L"ovra-settings"};
    const std::wstring path = folder.file(L"settings.ini");
    const std::vector<int32_t> defaults{2, 2000, 10000, 1,  0, 1,  15, 1,  90,
                                        1, 85,   1,     10, 1, 15, 1,  85, 85},
        lows{0, 1000, 5000, 0, 0, 0, 5, 0, 50, 0, 50, 0, 2, 0, 5, 0, 50, 60},
        highs{2, 5000, 30000, 2, 1, 1, 60, 1, 100, 1, 98, 1, 50, 1, 50, 1, 100, 95};
    const auto values = [](const Settings& settings) {
        std::vector<int32_t> all;
        for (size_t i = 0; i < settingFieldCount; ++i)
            all.push_back(settingValue(settings, i));
        return all;
    };
    Settings settings;
    loadSettings(settings, path); // no file yet
    EXPECT_EQ(values(settings), defaults);
    for (const auto& [written, expected] : {std::pair{-1000000, lows}, {1000000, highs}}) {
        for (const SettingField& field : settingFields())
            WritePrivateProfileStringW(L"umum", field.key.c_str(), std::to_wstring(written).c_str(),
                                       path.c_str());
        loadSettings(settings, path);
        EXPECT_EQ(values(settings), expected) << written;
        saveSettings(settings, path);
        Settings again;
        loadSettings(again, path);
        EXPECT_EQ(values(again), expected) << "saved and read back";
    }
    WritePrivateProfileStringW(L"umum", L"tema", nullptr, path.c_str());
    Settings held{.theme = 0};
    loadSettings(held, path);
    EXPECT_TRUE(held.theme == 0 && held.fastIntervalMs == 5000)
        << "a missing key keeps the value held";
}

} // namespace ovra
