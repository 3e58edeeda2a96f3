#pragma once
// The notification-area icon: the only way notifications reach the user (alert
// balloons and the automatic-restore balloon). Clicking it brings the window back.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace ovra {

struct App;

// The icon's callback message; lParam carries the mouse or balloon event.
inline constexpr UINT trayCallbackMessage = WM_APP + 1;

// At most `limit` UTF-16 units of `text`, never ending between the two halves of a
// surrogate pair.
std::wstring fitText(const std::wstring& text, size_t limit);

// Whether a tray event (the low word of the callback's lParam) brings the window
// back: a left click, a double click, Enter on the focused icon or a click on a balloon.
bool trayEventRestoresWindow(UINT event);

// Registers "TaskbarCreated" and lets it through the window's message filter, so an
// elevated program still hears that Explorer restarted.
void registerTaskbarCreated(App& app);

// Adds the icon; trayPresent tells whether the shell took it.
void addTrayIcon(App& app);
void removeTrayIcon(App& app);
// A warning balloon, its title cut to 63 characters and its text to 255; skipped
// while the icon is absent.
void showBalloon(App& app, const std::wstring& title, const std::wstring& text);

// Window-procedure handlers.
// The menu request (right click, Shift+F10) opens the tray menu: the window, the
// pages, pausing the notifications and the end.
void onTrayCallback(App& app, WPARAM wParam, LPARAM lParam);
// Shows, restores and foregrounds the main window.
void showMainWindow(App& app);
void onTaskbarCreated(App& app);

} // namespace ovra
