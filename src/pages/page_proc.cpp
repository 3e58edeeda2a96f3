// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageProc(Ui& ui, int x, int y, int width) {
    return y + pageHeader(ui, x, y, width, L"Proses",
                          L"Proses dengan pemakaian CPU atau RAM tertinggi. Daftar hanya "
                          L"diperbarui saat halaman ini terbuka.");
}

} // namespace ovra
