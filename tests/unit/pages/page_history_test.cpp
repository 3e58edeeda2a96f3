// The History page: the time window, the storage card and the temperature card.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "sources/format.h"

using namespace ovra;

using HistoryPage = test::PageView;

TEST_F(HistoryPage, ShowsTheChosenWindowTheFilesAndWhyRowsWait) {
    for (auto [minutes, label] : {std::pair{5, L"5 menit"}, {10, L"15 menit"}, {60, L"60 menit"}}) {
        app.settings.historyRangeMinutes = minutes;
        show(6);
        EXPECT_TRUE(chosen(label)) << minutes;
    }
    EXPECT_EQ(count(L"60 menit terakhir"), 4) << "four charts over the window, no temperature";
    test::writeTextFile(app.history.path, std::string(3000, 'x'));
    test::writeTextFile(app.history.oldPath, std::string(1096, 'x')); // both files count
    app.history.unsavedReason = L"Sampel terbaru belum disimpan: contoh.";
    setReading(app.machine.thermal.maxTemp, 61.0);
    show(6);
    EXPECT_EQ(count(L"60 menit terakhir"), 5) << "with a sensor, the temperature chart too";
    EXPECT_NE(textStarting(L"Ukuran berkas riwayat: " + formatBytes(4096.0)), nullptr);
    ASSERT_NE(text(app.history.unsavedReason), nullptr);
    EXPECT_EQ(text(app.history.unsavedReason)->role, test::roleOf(Role::statusBad));
}
