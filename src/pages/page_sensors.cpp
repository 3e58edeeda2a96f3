// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageSensors(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Sensor",
                          L"Hanya nilai yang diekspos Windows, firmware, atau driver melalui "
                          L"antarmuka resmi. Nilai tidak pernah ditebak atau dikarang.");
}

} // namespace ovra
