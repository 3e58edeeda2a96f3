// The Windows app mode in Wine's real registry; the state found before each test is
// put back afterwards. On a real Windows PC it is the user's own setting, so
// nothing here runs there.
#include "store/theme.h"

#include <gtest/gtest.h>

#include "harness.h"

#include <windows.h>

namespace ovra {
namespace {

constexpr wchar_t personalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t lightThemeValue[] = L"AppsUseLightTheme";

class ThemeRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        OVRA_SKIP_UNLESS_WINE();
        HKEY key = nullptr;
        keyExisted =
            RegOpenKeyExW(HKEY_CURRENT_USER, personalizeKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        DWORD size = sizeof(previous);
        valueExisted = RegGetValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue,
                                    RRF_RT_REG_DWORD, nullptr, &previous, &size) == ERROR_SUCCESS;
    }

    void TearDown() override {
        if (IsSkipped()) return;
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

// The window is dark for the dark theme, or for following a system whose apps are
// set to dark (theme 2); light otherwise, also for an unknown theme.
TEST_F(ThemeRegistry, WindowFollowsTheSystemOnlyWhenAppsAreSetToDark) {
    removeLightTheme();
    EXPECT_FALSE(systemUsesDarkTheme()) << "absent value means light";
    EXPECT_FALSE(themeIsDark(2, systemUsesDarkTheme()));
    EXPECT_TRUE(themeIsDark(1, systemUsesDarkTheme()));
    setLightTheme(0);
    EXPECT_TRUE(systemUsesDarkTheme());
    EXPECT_TRUE(themeIsDark(2, systemUsesDarkTheme()));
    EXPECT_FALSE(themeIsDark(0, systemUsesDarkTheme()));
    EXPECT_FALSE(themeIsDark(3, systemUsesDarkTheme())) << "an unknown theme is light";
    setLightTheme(1);
    EXPECT_FALSE(systemUsesDarkTheme());

    // A value of the wrong type cannot be read as a DWORD: light.
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, personalizeKey, lightThemeValue, REG_SZ, L"0",
                              2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    EXPECT_FALSE(systemUsesDarkTheme());
}

} // namespace
} // namespace ovra
