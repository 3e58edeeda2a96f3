#pragma once
// The notification-area icon and its balloons. Not built yet: the icon is never
// added, so alerts are never shown as balloons.
#include <string>

namespace ovra {

struct App;

void addTrayIcon(App& app);
void removeTrayIcon(App& app);
void showBalloon(App& app, const std::wstring& title, const std::wstring& text);

} // namespace ovra
