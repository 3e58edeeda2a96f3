// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageSettings(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Pengaturan",
                          L"Semua pengaturan disimpan secara lokal di folder data aplikasi.");
}

} // namespace ovra
