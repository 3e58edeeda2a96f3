#include "pages/tray.h"

#include "app/app.h"

namespace ovra {

void addTrayIcon(App& app) {
    app.trayPresent = false;
}
void removeTrayIcon(App& app) {
    app.trayPresent = false;
}
void showBalloon(App&, const std::wstring&, const std::wstring&) {}

} // namespace ovra
