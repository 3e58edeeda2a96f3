// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageHistory(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Riwayat",
                          L"Grafik dari data yang dikumpulkan selama aplikasi terbuka (maksimum "
                          L"1800 sampel di memori).");
}

} // namespace ovra
