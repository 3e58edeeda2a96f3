#include "app/window_place.h"

#include <algorithm>

namespace ovra {

int32_t monitorLayoutSignature(const std::vector<RECT>& monitors) {
    uint32_t hash = 2166136261u; // FNV-1a over the coordinates
    for (const RECT& monitor : monitors)
        for (LONG value : {monitor.left, monitor.top, monitor.right, monitor.bottom})
            hash = (hash ^ static_cast<uint32_t>(value)) * 16777619u;
    return hash == 0 ? 1 : static_cast<int32_t>(hash);
}

WindowStart chooseWindowStart(const WindowPlace& place, int32_t layout,
                              const std::vector<RECT>& workAreas, const RECT& centred) {
    const WindowStart fallback{centred, false};
    if (place.layout == 0 || place.layout != layout || place.width <= 0 || place.height <= 0)
        return fallback;
    const RECT frame{place.left, place.top, place.left + place.width, place.top + place.height};
    // The title bar must be reachable: 64 x 24 pixels of the top on one work area.
    const RECT titleBar{frame.left, frame.top, frame.right, frame.top + 24};
    for (const RECT& work : workAreas) {
        const LONG width =
            std::min(titleBar.right, work.right) - std::max(titleBar.left, work.left);
        const LONG height =
            std::min(titleBar.bottom, work.bottom) - std::max(titleBar.top, work.top);
        if (width >= 64 && height >= 24) return WindowStart{frame, place.maximised};
    }
    return fallback;
}

} // namespace ovra
