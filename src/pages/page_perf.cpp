// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pagePerf(Ui& ui, int x, int y, int width) {
    return y + pageHeader(
                   ui, x, y, width, L"Performa",
                   L"CPU, memori, grafis, dan jaringan. Grafik menyimpan data terbatas di memori.");
}

} // namespace ovra
