// The page's header; its cards come with the page itself.
#include "app/app.h"
#include "ui/cards.h"

namespace ovra {

int App::pageSummary(Ui& ui, int x, int y, int width) {
    return y +
           pageHeader(
               ui, x, y, width, L"Ringkasan",
               L"Kondisi perangkat saat ini. Tidak ada skor kesehatan: setiap temuan dijelaskan "
               L"beserta angka yang memicunya, dan ambangnya dapat Anda atur di Pengaturan.");
}

} // namespace ovra
