// The Settings page: every choice shows the stored value, the alert steppers
// offer only the steps that change something, and rows stack when narrow.
#include <gtest/gtest.h>

#include "page_view.h"
#include "pages/commands.h"

using namespace ovra;

namespace {

constexpr int settingsPage = 8;

class SettingsPage : public test::PageView {
protected:
};

} // namespace

TEST_F(SettingsPage, ChoicesShowTheStoredValues) {
    app.settings.theme = 1;
    app.settings.fastIntervalMs = 1500; // only from a hand-edited file
    app.settings.slowIntervalMs = 30000;
    app.settings.processMode = 2;
    show(settingsPage);
    EXPECT_TRUE(chosen(L"Gelap"));
    EXPECT_TRUE(chosen(L"2 dtk"));
    EXPECT_FALSE(chosen(L"1 dtk"));
    EXPECT_TRUE(chosen(L"30 dtk"));
    EXPECT_TRUE(chosen(L"Lambat (10 dtk)"));
    EXPECT_EQ(argumentsOf(commandTheme), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(argumentsOf(commandFastInterval), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(argumentsOf(commandSlowInterval), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(argumentsOf(commandProcessMode), (std::vector<int32_t>{0, 1}));

    for (int32_t command :
         {commandAutostart, commandNotifications, commandSaveHistory, commandOpenDataFolder})
        EXPECT_EQ(argumentsOf(command), std::vector<int32_t>{0}) << command;
    EXPECT_NE(hit(commandNavigate, 6), nullptr) << "the link to the History page";
    const TextRun* folderRow = text(L"Folder data");
    ASSERT_NE(folderRow, nullptr);
    EXPECT_NE(text(folder.path), nullptr) << "the folder the App keeps its files in";
}

TEST_F(SettingsPage, AlertSteppersOfferOnlyStepsThatChangeSomething) {
    app.settings.alertThreshold[1] = 50;  // RAM at its minimum
    app.settings.alertThreshold[0] = 100; // CPU at its maximum
    app.settings.alertEnabled[2] = false; // disk off
    show(settingsPage);
    EXPECT_EQ(argumentsOf(commandAlertThreshold + 1), std::vector<int32_t>{1});
    EXPECT_EQ(argumentsOf(commandAlertThreshold + 0), std::vector<int32_t>{-1});
    EXPECT_TRUE(argumentsOf(commandAlertThreshold + 2).empty());
    EXPECT_EQ(argumentsOf(commandAlertThreshold + 4), (std::vector<int32_t>{-1, 1}));
    EXPECT_EQ(argumentsOf(commandAlertEnabled), (std::vector<int32_t>{0, 1, 2, 3, 4}))
        << "every toggle stays clickable, the disabled alert's too";

    EXPECT_NE(text(L"50%"), nullptr);
    const TextRun* temperature = text(L"85\u00B0C");
    ASSERT_NE(temperature, nullptr);
    const HitRegion* plus = hit(commandAlertThreshold + 4, 1);
    ASSERT_NE(plus, nullptr);
    EXPECT_EQ(plus->rect.right, pageLeft + 852 - 18) << "the stepper ends at the card's padding";
    EXPECT_EQ(hit(commandAlertEnabled, 4)->rect.right + 16,
              hit(commandAlertThreshold + 4, -1)->rect.left)
        << "the stepper starts 56 right of the toggle";
}

TEST_F(SettingsPage, OnlyTheTemperatureAlertHasAHelpLine) {
    show(settingsPage);
    const TextRun* help = text(L"Hanya berlaku bila ada sensor suhu resmi.");
    const TextRun* label = text(L"Suhu di atas");
    ASSERT_NE(help, nullptr);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(count(L"Hanya berlaku bila ada sensor suhu resmi."), 1);
    EXPECT_EQ(help->rect.top, label->rect.bottom + 2);
    EXPECT_EQ(help->role, test::roleOf(Role::textSecondary));
    EXPECT_EQ(help->font, FontRole::small);
    const TextRun* ram = text(L"RAM hampir penuh");
    const TextRun* disk = text(L"Ruang disk kosong di bawah");
    ASSERT_TRUE(ram && disk);
    EXPECT_EQ(disk->rect.top - ram->rect.top, 30 + 14) << "no help: the control's height counts";
}

TEST_F(SettingsPage, RowsStackTheirControlUnderTheLabelWhenNarrow) {
    // A one-column card 236 wide leaves the toggle's row exactly 180 for its label.
    const int wideEnough = 236 + 2 * 18;
    show(settingsPage, wideEnough);
    const TextRun* label = text(L"Tampilkan notifikasi Windows");
    const HitRegion* toggle = hit(commandNotifications, 0);
    ASSERT_TRUE(label && toggle);
    EXPECT_EQ(toggle->rect.right, pageLeft + wideEnough - 18);
    EXPECT_EQ(toggle->rect.top, label->rect.top + 4);

    show(settingsPage, wideEnough - 1);
    label = text(L"Tampilkan notifikasi Windows");
    const TextRun* help = text(L"Maksimum sekali per 10 menit untuk setiap jenis peringatan.");
    toggle = hit(commandNotifications, 0);
    ASSERT_TRUE(label && help && toggle);
    EXPECT_EQ(toggle->rect.left, pageLeft + 18);
    EXPECT_EQ(toggle->rect.top, help->rect.bottom + 6 + 4);
}

TEST_F(SettingsPage, ThemeClickSavesTheChoice) {
    show(settingsPage);
    const HitRegion* dark = hit(commandTheme, 1);
    ASSERT_NE(dark, nullptr);
    executeCommand(app, dark->command, dark->argument);
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"tema", -1, folder.file(settingsFileName).c_str()),
              1);
    show(settingsPage);
    EXPECT_TRUE(chosen(L"Gelap"));
    EXPECT_EQ(canvas->pixel(pageLeft + 500, 5), app.palette[Role::background]);
    EXPECT_TRUE(app.palette.dark);
}
