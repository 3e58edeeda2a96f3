// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageStorage(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Penyimpanan",
                          L"Kapasitas per drive, aktivitas baca/tulis, dan status SMART bila "
                          L"driver mendukungnya.");
}

} // namespace ovra
