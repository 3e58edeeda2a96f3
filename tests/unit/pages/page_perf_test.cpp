// The Performance page: the per-processor grid, link speeds, measuring and missing values.
#include <gtest/gtest.h>

#include "page_canvas.h"
#include "sources/format.h"

using namespace ovra;
using ovra::test::PageCanvas;
using ovra::test::roleOf;

namespace {

NetworkAdapter upAdapter(const std::wstring& alias, uint64_t linkBps) {
    NetworkAdapter adapter;
    adapter.alias = alias;
    adapter.description = alias + L" Controller";
    adapter.receiveLinkBps = linkBps;
    adapter.up = true;
    return adapter;
}

} // namespace

TEST(PerformancePage, ProcessorCellsFourPerRowIn600PixelsAndTwelveTakeThreeRows) {
    PageCanvas page;
    CpuInfo& cpu = page.app->cpu;
    setReading(cpu.perProcessorStatus, true);
    cpu.perProcessorUsage.assign(12, 25.0);
    cpu.perProcessorUsage[11] = 99.0;
    // The CPU card spans the page; 18 dip padding each side leaves a 600-pixel column.
    page.draw(&App::pagePerf, 636);
    const TextRun* first = page.text(L"Logical 1");
    const TextRun* fourth = page.text(L"Logical 4");
    const TextRun* fifth = page.text(L"Logical 5");
    const TextRun* last = page.text(L"Logical 12");
    ASSERT_TRUE(first && fourth && fifth && last);
    EXPECT_EQ(first->role, roleOf(Role::textSecondary));
    EXPECT_EQ(first->font, FontRole::small);
    EXPECT_EQ(fourth->rect.left - first->rect.left, 450);
    EXPECT_EQ(fifth->rect.left, first->rect.left);
    EXPECT_EQ(fifth->rect.top - first->rect.top, 40);
    EXPECT_EQ(last->rect.top - first->rect.top, 80);
    EXPECT_EQ(page.text(L"Logical 13"), nullptr);
    // Each use ends 14 dip before its cell's right edge.
    const TextRun* full = page.text(L"99%");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->rect.right, last->rect.left + 150 - 14);
    EXPECT_EQ(full->role, roleOf(Role::text));
}

TEST(PerformancePage, RightAfterStartTheMeasuredRowsSayMeasuring) {
    PageCanvas page;
    setReading(page.app->network.status, true);
    page.draw(&App::pagePerf);
    // Effective frequency, total use, the per-processor row and download/upload.
    EXPECT_GE(page.count(L"Mengukur\u2026"), 4);
    for (const wchar_t* label : {L"Frekuensi efektif (perkiraan)", L"Penggunaan total",
                                 L"Per prosesor logical", L"Unduh / unggah"})
        EXPECT_NE(page.text(label), nullptr) << label;
    EXPECT_NE(page.text(L"Tidak ada adapter jaringan perangkat keras yang aktif."), nullptr);
}

TEST(PerformancePage, LinkSpeedsReadAsPeopleSayThem) {
    PageCanvas page;
    NetworkInfo& network = page.app->network;
    setReading(network.status, true);
    network.adapters = {upAdapter(L"Ethernet", 100'000'000),
                        upAdapter(L"Ethernet 2", 1'000'000'000),
                        upAdapter(L"Ethernet 3", 2'500'000'000), upAdapter(L"Wi-Fi", 0),
                        upAdapter(L"Wi-Fi 2", UINT64_MAX)};
    network.adapters[3].wifi = true;
    NetworkAdapter down = upAdapter(L"Bluetooth", 3'000'000);
    down.up = false;
    network.adapters.push_back(down);
    page.draw(&App::pagePerf);
    EXPECT_NE(page.text(L"100 Mbps"), nullptr);
    EXPECT_NE(page.text(L"1 Gbps"), nullptr);
    EXPECT_NE(page.text(L"2,5 Gbps"), nullptr);
    EXPECT_EQ(page.count(L"tidak dilaporkan"), 2);
    EXPECT_NE(page.text(L"Wi-Fi (Wi-Fi)"), nullptr);
    EXPECT_EQ(page.text(L"Bluetooth"), nullptr) << "adapters that are down are left out";
    EXPECT_EQ(page.text(L"Tidak ada adapter jaringan perangkat keras yang aktif."), nullptr);
}

TEST(PerformancePage, WithoutHardwareGraphicsOneCardSaysWhy) {
    PageCanvas page;
    setReading(page.app->gpu.status, true);
    page.draw(&App::pagePerf);
    EXPECT_EQ(page.count(L"Grafis"), 1);
    EXPECT_NE(page.text(L"Keterbatasan: Driver. DXGI tidak melaporkan adapter grafis perangkat "
                        L"keras."),
              nullptr);

    setUnavailable(page.app->gpu.status, Limitation::WindowsApi, L"dxgi.dll tidak ada.");
    page.draw(&App::pagePerf);
    EXPECT_NE(page.text(L"Keterbatasan: API Windows. dxgi.dll tidak ada."), nullptr);

    setReading(page.app->gpu.status, true);
    page.app->gpu.adapters.resize(3);
    page.app->gpu.adapters[0].sharedTotal = 4ull << 30;
    page.draw(&App::pagePerf);
    EXPECT_EQ(page.count(L"Grafis"), 3);
    EXPECT_EQ(page.count(L"tidak ada (memakai RAM)"), 3);
}

TEST(PerformancePage, MemoryBarWarnsFromTheRamThreshold) {
    PageCanvas page;
    MemoryInfo& memory = page.app->memory;
    memory.ok = true;
    memory.totalBytes = 16ull << 30;
    memory.availableBytes = memory.totalBytes * 15 / 100;
    memory.usedPercent = 85;
    page.draw(&App::pagePerf);
    const TextRun* value = page.text(L"85%");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(page.barBelow(*value), page.role(Role::statusWarning));
    EXPECT_NE(page.text(L"Memori virtual (commit)"), nullptr);

    memory.usedPercent = 84.9;
    page.draw(&App::pagePerf);
    value = page.text(formatPercent(84.9));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(page.barBelow(*value), page.role(Role::accent));
}

TEST(PerformancePage, ProcessorCellsScaleWithTheDpi) {
    PageCanvas page(144);
    CpuInfo& cpu = page.app->cpu;
    setReading(cpu.perProcessorStatus, true);
    cpu.perProcessorUsage.assign(5, 10.0);
    // A 900-pixel column at 144 DPI holds four cells of 150 dip (225 pixels).
    page.draw(&App::pagePerf, 900 + 2 * page.px(18));
    const TextRun* first = page.text(L"Logical 1");
    const TextRun* second = page.text(L"Logical 2");
    const TextRun* fifth = page.text(L"Logical 5");
    ASSERT_TRUE(first && second && fifth);
    EXPECT_EQ(second->rect.left - first->rect.left, 225);
    EXPECT_EQ(fifth->rect.left, first->rect.left);
    EXPECT_EQ(fifth->rect.top - first->rect.top, 60);
}
