#include "ui/hit_region.h"

namespace ovra {

int regionAt(const std::vector<HitRegion>& hits, POINT point) {
    for (int i = static_cast<int>(hits.size()) - 1; i >= 0; --i) {
        const RECT& r = hits[static_cast<size_t>(i)].rect;
        if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
            return i;
    }
    return -1;
}

} // namespace ovra
