// The History page: the storage card with the file size, the time window and
// the chart cards, the temperature one only with an official sensor.
#include <gtest/gtest.h>

#include "page_view.h"
#include "pages/commands.h"
#include "sources/format.h"

using namespace ovra;

namespace {

class HistoryPage : public test::PageView {
protected:
    void showHistory(int pageWidth = 852) { show(6, pageWidth); }
};

} // namespace

TEST_F(HistoryPage, RangeChoiceShowsTheStoredWindow) {
    app.settings.historyRangeMinutes = 60;
    showHistory();
    EXPECT_TRUE(chosen(L"60 menit"));
    EXPECT_EQ(argumentsOf(commandHistoryRange), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(count(L"60 menit terakhir"), 4) << "every chart spans the chosen window";

    // Ten minutes only come from a hand-edited file; the nearest choice above shows.
    app.settings.historyRangeMinutes = 10;
    showHistory();
    EXPECT_TRUE(chosen(L"15 menit"));
    EXPECT_FALSE(chosen(L"5 menit"));
    EXPECT_EQ(argumentsOf(commandHistoryRange), (std::vector<int32_t>{0, 2}));

    app.settings.historyRangeMinutes = 5;
    showHistory();
    EXPECT_TRUE(chosen(L"5 menit"));
}

TEST_F(HistoryPage, WithoutATemperatureTheSuhuCardExplainsWhy) {
    showHistory();
    EXPECT_NE(text(L"CPU"), nullptr);
    EXPECT_NE(text(L"RAM"), nullptr);
    EXPECT_NE(text(L"Hijau = unduh, jingga = unggah"), nullptr);
    EXPECT_NE(text(L"Biru = baca, jingga = tulis"), nullptr);
    EXPECT_NE(text(L"Suhu"), nullptr);
    EXPECT_EQ(text(L"Suhu tertinggi (sensor resmi)"), nullptr);
    const TextRun* detail = text(L"Keterbatasan: Sensor. Tidak ada sensor suhu resmi yang "
                                 L"terbaca, jadi tidak ada riwayat suhu.");
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->role, test::roleOf(Role::textMuted));

    app.thermal.maxTemp.ok = true;
    app.thermal.maxTemp.value = 61.0;
    app.thermal.maxTemp.limitation = Limitation::None;
    showHistory();
    EXPECT_NE(text(L"Suhu tertinggi (sensor resmi)"), nullptr);
    EXPECT_EQ(text(L"Suhu"), nullptr);
    EXPECT_EQ(count(L"Belum ada data"), 5) << "five charts, no samples yet";
}

TEST_F(HistoryPage, StorageCardShowsTheFileSizeAndItsControls) {
    showHistory();
    EXPECT_NE(text(L"Belum ada berkas riwayat tersimpan."), nullptr);
    const TextRun* off = text(L"Mati (bawaan): riwayat hanya ada di memori dan hilang saat "
                              L"aplikasi ditutup.");
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->font, FontRole::bodyStrong);
    const HitRegion* saving = hit(commandSaveHistory, 0);
    ASSERT_NE(saving, nullptr);
    EXPECT_EQ(saving->rect.right, pageLeft + 852 - 18) << "the toggle ends at the card's padding";
    EXPECT_EQ(saving->rect.top, off->rect.top);
    ASSERT_NE(hit(commandExportHistory, 0), nullptr);
    ASSERT_NE(hit(commandClearHistory, 0), nullptr);
    EXPECT_EQ(text(L"Hapus riwayat")->colour, app.palette[Role::statusBad]) << "danger style";
    EXPECT_EQ(hit(commandClearHistory, 0)->rect.left,
              hit(commandExportHistory, 0)->rect.right + 10);

    // Both files count, the old one included.
    test::writeTextFile(app.history.path, std::string(3000, 'x'));
    test::writeTextFile(app.history.oldPath, std::string(1096, 'x'));
    app.settings.saveHistory = true;
    showHistory();
    const TextRun* size =
        text(L"Ukuran berkas riwayat: " + formatBytes(4096.0) + L" (dirotasi pada 8 MB).");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->font, FontRole::small);
    EXPECT_NE(text(L"Aktif: sampel ditulis ke berkas CSV di folder data aplikasi pada perangkat "
                   L"ini."),
              nullptr);
    EXPECT_NE(text(L"Data tidak pernah dikirim ke mana pun."), nullptr);
}

TEST_F(HistoryPage, ChartsStandTwoByTwoWhenThereIsRoom) {
    showHistory(852);
    const TextRun* cpu = text(L"CPU");
    const TextRun* ram = text(L"RAM");
    const TextRun* network = text(L"Jaringan");
    ASSERT_TRUE(cpu && ram && network);
    EXPECT_EQ(cpu->rect.top, ram->rect.top);
    EXPECT_GT(ram->rect.left, cpu->rect.left);
    EXPECT_EQ(network->rect.left, cpu->rect.left);

    showHistory(600); // two columns would be narrower than 340
    cpu = text(L"CPU");
    ram = text(L"RAM");
    ASSERT_TRUE(cpu && ram);
    EXPECT_EQ(ram->rect.left, cpu->rect.left);
    EXPECT_GT(ram->rect.top, cpu->rect.top);
}
