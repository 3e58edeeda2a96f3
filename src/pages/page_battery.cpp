// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageBattery(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Baterai",
                          L"Persentase dan status dari Windows; kesehatan hanya ditampilkan bila "
                          L"firmware baterai melaporkan kapasitas desain dan kapasitas penuh.");
}

} // namespace ovra
