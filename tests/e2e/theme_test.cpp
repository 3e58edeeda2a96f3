// The window follows the Windows app theme while it runs. This case rewrites
// AppsUseLightTheme and announces a theme change to every window, so like every
// end-to-end case it runs only in a Wine prefix (driver.cpp skips it on Windows).
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

namespace {

constexpr wchar_t personalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

void setAppsUseLightTheme(const DWORD* value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, personalizeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    if (!key) return;
    if (value)
        RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(value), sizeof(*value));
    else
        RegDeleteValueW(key, L"AppsUseLightTheme");
    RegCloseKey(key);
}

void announceThemeChange() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
}

} // namespace

TEST(Theme, FollowsWindowsDarkModeWithoutRestart) {
    removeDataFolder(); // theme setting 2: follow Windows
    setAppsUseLightTheme(nullptr);
    Program program;
    HWND window = program.waitForWindow();
    ASSERT_NE(window, nullptr);
    const uint32_t light = lightBackground, dark = darkBackground;
    EXPECT_TRUE(eventually([&] { return pageBackground(window) == light; }))
        << "no AppsUseLightTheme value means light";

    const DWORD darkApps = 0;
    setAppsUseLightTheme(&darkApps);
    announceThemeChange();
    EXPECT_TRUE(eventually([&] { return pageBackground(window) == dark; }));

    const DWORD lightApps = 1;
    setAppsUseLightTheme(&lightApps);
    announceThemeChange();
    EXPECT_TRUE(eventually([&] { return pageBackground(window) == light; }));
    setAppsUseLightTheme(nullptr);
}
