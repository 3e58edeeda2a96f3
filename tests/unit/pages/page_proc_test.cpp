// The Processes page: the list switched off, the sorted table with its count
// line, names cut to their column, and the rows Windows does not let us read.
#include <gtest/gtest.h>

#include "page_view.h"
#include "pages/commands.h"
#include "sources/format.h"

using namespace ovra;

namespace {

class ProcessesPage : public test::PageView {
protected:
    void addProcess(std::wstring name, uint32_t pid, bool accessible = true, bool cpuValid = true) {
        ProcessRow row;
        row.name = std::move(name);
        row.pid = pid;
        row.accessible = accessible;
        row.cpuValid = cpuValid;
        row.cpuPercent = 12.5;
        row.workingSet = 50ull << 20;
        app.processes.rows.push_back(row);
        app.processes.count = uint32_t(app.processes.rows.size());
    }
};

} // namespace

TEST_F(ProcessesPage, SwitchedOffShowsOnlyTheCardWhoseButtonSwitchesTheListOn) {
    app.settings.processMode = 0;
    addProcess(L"stale.exe", 40);
    show(processesPage);
    ASSERT_NE(text(L"Daftar proses dimatikan"), nullptr);
    EXPECT_NE(text(L"Fitur ini dimatikan di Pengaturan untuk menghemat CPU."), nullptr);
    EXPECT_EQ(text(L"Urut menurut CPU"), nullptr);
    EXPECT_EQ(text(L"stale.exe"), nullptr);
    EXPECT_EQ(text(L"Nama"), nullptr);

    // Besides the sidebar, the button is the page's only region.
    ASSERT_EQ(app.hits.size(), size_t(pageCount) + 1);
    const HitRegion& enable = app.hits.front();
    EXPECT_EQ(enable.command, commandProcessMode);
    EXPECT_EQ(enable.argument, 1);
    const TextRun* label = text(L"Aktifkan (setiap 3 detik)");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->role, test::roleOf(Role::onAccent)) << "a primary button";

    executeCommand(app, enable.command, enable.argument);
    EXPECT_EQ(app.settings.processMode, 1);
}

TEST_F(ProcessesPage, ShowsFiftyOfManyRowsAndCountsThemAll) {
    for (uint32_t i = 0; i < 120; ++i)
        addProcess(L"proses" + std::to_wstring(i) + L".exe", 1000 + i);
    show(processesPage);

    const TextRun* counter = text(L"120 proses \u00B7 diperbarui tiap 3 detik");
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->font, FontRole::small);
    EXPECT_EQ(counter->role, test::roleOf(Role::textSecondary));
    EXPECT_NE(text(L"proses49.exe"), nullptr);
    EXPECT_EQ(text(L"proses50.exe"), nullptr);
    EXPECT_EQ(count(formatBytes(double(50ull << 20))), 50);
    EXPECT_EQ(count(formatPercent(12.5)), 50);

    // Rows are 26 apart in list order, with the PID right-aligned in its column.
    const TextRun* first = text(L"proses0.exe");
    const TextRun* second = text(L"proses1.exe");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->rect.top - first->rect.top, 26);
    const TextRun* header = text(L"PID");
    const TextRun* pid = text(L"1000");
    ASSERT_NE(header, nullptr);
    ASSERT_NE(pid, nullptr);
    EXPECT_EQ(pid->rect.right, header->rect.right);
    EXPECT_EQ(header->role, test::roleOf(Role::textSecondary));
    EXPECT_EQ(header->font, FontRole::bodyStrong);

    app.settings.processMode = 2;
    show(processesPage);
    EXPECT_NE(text(L"120 proses \u00B7 diperbarui tiap 10 detik"), nullptr);
}

TEST_F(ProcessesPage, SortChoiceOffersOnlyTheOtherOrder) {
    addProcess(L"a.exe", 4);
    show(processesPage);
    EXPECT_EQ(argumentsOf(commandProcessSort), std::vector<int32_t>{1});
    const TextRun* byCpu = text(L"Urut menurut CPU");
    ASSERT_NE(byCpu, nullptr);
    EXPECT_EQ(byCpu->role, test::roleOf(Role::onAccent)) << "the selected order";

    app.processes.sortBy = 1;
    show(processesPage);
    EXPECT_EQ(argumentsOf(commandProcessSort), std::vector<int32_t>{0});
    const HitRegion* byCpuRegion = hit(commandProcessSort, 0);
    ASSERT_NE(byCpuRegion, nullptr);
    executeCommand(app, byCpuRegion->command, byCpuRegion->argument);
    EXPECT_EQ(app.processes.sortBy, 0u);
}

TEST_F(ProcessesPage, NamesTooWideEndInAnEllipsisButShortNamesStayWhole) {
    const std::wstring longName(60, L'W');
    addProcess(longName + L".exe", 8);
    addProcess(L"System", 4);
    addProcess(L"Idle", 0);
    show(processesPage, 400); // the name column is only 34 pixels wide here

    EXPECT_EQ(text(longName + L".exe"), nullptr);
    EXPECT_EQ(text(L"System"), nullptr);
    EXPECT_NE(text(L"Sy\u2026"), nullptr) << "six characters lose four, then get the ellipsis";
    EXPECT_NE(text(L"Idle"), nullptr) << "four characters are never cut, however narrow";

    show(processesPage, 852);
    const TextRun* cut = textStarting(L"WWWW");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->text.back(), L'\u2026');
    const TextRun* pidHeader = text(L"PID");
    ASSERT_NE(pidHeader, nullptr);
    EXPECT_LE(cut->rect.right, pidHeader->rect.right - 70) << "70 pixels clear of the PIDs";
    EXPECT_NE(text(L"System"), nullptr);
}

TEST_F(ProcessesPage, RowsWindowsProtectsAndFirstUpdatesSayWhy) {
    addProcess(L"protected.exe", 4, false);
    addProcess(L"fresh.exe", 8, true, false);
    show(processesPage);
    const TextRun* restricted = text(L"akses dibatasi Windows");
    ASSERT_NE(restricted, nullptr);
    EXPECT_EQ(restricted->role, test::roleOf(Role::textMuted));
    EXPECT_EQ(restricted->font, FontRole::small);
    EXPECT_EQ(count(formatPercent(12.5)), 0) << "neither row has a processor use to show";
    EXPECT_EQ(count(formatBytes(double(50ull << 20))), 1);
    const TextRun* measuring = text(L"\u2026");
    ASSERT_NE(measuring, nullptr);
    EXPECT_EQ(measuring->rect.top, text(L"fresh.exe")->rect.top);
}

TEST_F(ProcessesPage, EmptyListSaysItIsCollecting) {
    show(processesPage);
    EXPECT_NE(text(L"Mengumpulkan daftar proses\u2026"), nullptr);
    EXPECT_NE(text(L"0 proses \u00B7 diperbarui tiap 3 detik"), nullptr);
}
