#pragma once

namespace ovra {

// Whether Windows is set to dark mode for apps ("AppsUseLightTheme" is 0).
bool systemUsesDarkTheme();

// Whether the window should be dark for a theme setting (0 light, 1 dark,
// 2 follow Windows, given as `systemDark`).
inline bool themeIsDark(int theme, bool systemDark) {
    return theme == 1 || (theme == 2 && systemDark);
}

} // namespace ovra
