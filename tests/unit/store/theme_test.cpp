// The Windows app mode in Wine's real registry; the state found before each test is
// put back afterwards.
#include "store/theme.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace ovra {
namespace {

constexpr wchar_t personalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t lightThemeValue[] = L"AppsUseLightTheme";

class ThemeRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        keyExisted =
            RegOpenKeyExW(HKEY_CURRENT_USER, personalizeKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        DWORD size = sizeof(previous);
        valueExisted = RegGetValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue,
                                    RRF_RT_REG_DWORD, nullptr, &previous, &size) == ERROR_SUCCESS;
    }

    void TearDown() override {
        if (valueExisted)
            setLightTheme(previous);
        else
            removeLightTheme();
        if (!keyExisted) RegDeleteKeyW(HKEY_CURRENT_USER, personalizeKey);
    }

    static void setLightTheme(DWORD value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue, REG_DWORD,
                                  &value, sizeof(value)),
                  ERROR_SUCCESS);
    }

    static void removeLightTheme() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue);
    }

    bool keyExisted = false;
    bool valueExisted = false;
    DWORD previous = 1;
};

TEST_F(ThemeRegistry, SystemIsDarkOnlyWhenAppsAreSetToDark) {
    removeLightTheme();
    EXPECT_FALSE(systemUsesDarkTheme()) << "absent value means light";
    setLightTheme(0);
    EXPECT_TRUE(systemUsesDarkTheme());
    setLightTheme(1);
    EXPECT_FALSE(systemUsesDarkTheme());

    // A value of the wrong type cannot be read as a DWORD: light.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue, REG_SZ, L"0",
                              2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    EXPECT_FALSE(systemUsesDarkTheme());
}

TEST(Theme, WindowIsDarkForDarkOrForFollowingADarkSystem) {
    EXPECT_FALSE(themeIsDark(0, true));
    EXPECT_TRUE(themeIsDark(1, false));
    EXPECT_FALSE(themeIsDark(2, false));
    EXPECT_TRUE(themeIsDark(2, true));
    EXPECT_FALSE(themeIsDark(3, true)) << "an unknown theme is light";
}

} // namespace
} // namespace ovra
