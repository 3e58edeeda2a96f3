// The window follows the Windows app theme while it runs (theme setting 2). Like every
// end-to-end case it runs only in a Wine prefix (driver.cpp skips it on Windows).
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

void setAppsUseLightTheme(const DWORD* value) {
    constexpr wchar_t key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    if (value)
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme", REG_DWORD, value, 4);
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"AppsUseLightTheme");
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, LPARAM(L"ImmersiveColorSet"),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}

} // namespace

TEST(Theme, FollowsWindowsDarkModeWithoutRestart) {
    removeDataFolder();
    setAppsUseLightTheme(nullptr); // no value means light
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(eventually([&] { return pageBackground(window) == lightBackground; }));
    for (DWORD light : {0, 1}) {
        setAppsUseLightTheme(&light);
        EXPECT_TRUE(eventually([&] {
            return pageBackground(window) == (light ? lightBackground : darkBackground);
        })) << light;
    }
    setAppsUseLightTheme(nullptr);
}
