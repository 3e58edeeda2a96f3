#include "app/window_place.h"

namespace ovra {

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM lists) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    auto* both = reinterpret_cast<std::vector<RECT>*>(lists);
    both[0].push_back(info.rcMonitor);
    both[1].push_back(info.rcWork);
    return TRUE;
}

// Window placements are in workspace coordinates: the primary work area's corner is 0, 0.
POINT workspaceOrigin() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.left, work.top};
}

} // namespace

void listMonitors(std::vector<RECT>& monitors, std::vector<RECT>& workAreas) {
    std::vector<RECT> both[2];
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(both));
    monitors = std::move(both[0]);
    workAreas = std::move(both[1]);
}

WindowPlace currentWindowPlace(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return WindowPlace{};
    std::vector<RECT> monitors, workAreas;
    listMonitors(monitors, workAreas);
    const POINT origin = workspaceOrigin();
    const RECT& frame = placement.rcNormalPosition;
    WindowPlace place;
    place.layout = monitorLayoutSignature(monitors);
    place.left = frame.left + origin.x;
    place.top = frame.top + origin.y;
    place.width = frame.right - frame.left;
    place.height = frame.bottom - frame.top;
    place.maximised = placement.showCmd == SW_SHOWMAXIMIZED ||
                      (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED));
    return place;
}

void showAtStart(HWND window, const WindowStart& start, bool minimized) {
    if (!minimized || !start.maximised) {
        ShowWindow(window, minimized         ? SW_SHOWMINNOACTIVE
                           : start.maximised ? SW_SHOWMAXIMIZED
                                             : SW_SHOWNORMAL);
        return;
    }
    // Minimised and told in the same call that it opens maximised from the tray.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.flags |= WPF_RESTORETOMAXIMIZED;
    placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(window, &placement);
}

} // namespace ovra
