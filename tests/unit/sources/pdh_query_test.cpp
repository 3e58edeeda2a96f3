#include "sources/pdh_query.h"

#include <gtest/gtest.h>

#include <iterator>

#include "harness.h"
#include <string>
#include <vector>

namespace ovra {
namespace {

TEST(PdhStatusText, KnownStatusesHaveTextsOthersTheirCodeInUpperHex) {
    EXPECT_EQ(pdhStatusText(0x800007D1), L"instans penghitung tidak ada");
    EXPECT_EQ(pdhStatusText(0xC0000BB8), L"objek penghitung kinerja tidak ada");
    EXPECT_EQ(pdhStatusText(0xC0000BB9), L"penghitung kinerja tidak ada");
    EXPECT_EQ(pdhStatusText(0xC0000BDB), L"akses ke penghitung ditolak");
    EXPECT_EQ(pdhStatusText(pdhInvalidHandle), L"PDH 0xC0000BBC");
    EXPECT_EQ(pdhStatusText(0x2A), L"PDH 0x0000002A");
}

PdhItem item(const wchar_t* name, uint32_t status, double value) {
    PdhItem result;
    result.name = name;
    result.formatted.status = status;
    result.formatted.value = value;
    return result;
}

TEST(PdhItems, InstancesWithoutAValidValueAreLeftOut) {
    const PdhItem items[] = {
        item(L"0,0", 0, 12.5),          item(L"0,1", 2, 99),
        item(L"0,2", 1, 130),           item(L"0,3", 0xC0000BC6, 7),
        item(L"_Total", 0x800007D1, 3), item(L"0,4", 0, 0),
    };
    std::vector<PdhInstanceValue> values = {{L"stale", 1}, {L"stale", 2}};
    pdhValuesFromItems(items, std::size(items), values);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].name, L"0,0");
    EXPECT_EQ(values[0].value, 12.5);
    // "New data" carries a value, and it is not capped.
    EXPECT_EQ(values[1].name, L"0,2");
    EXPECT_EQ(values[1].value, 130);
    EXPECT_EQ(values[2].name, L"0,4");
    EXPECT_EQ(values[2].value, 0);
}

TEST(PdhItems, NamelessOrNoItemsAreHandled) {
    const PdhItem items[] = {item(nullptr, 0, 4), item(L"a", 2, 1)};
    std::vector<PdhInstanceValue> values = {{L"stale", 1}};
    pdhValuesFromItems(items, std::size(items), values);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, L"");
    pdhValuesFromItems(nullptr, 0, values);
    EXPECT_TRUE(values.empty());
}

TEST(PdhBuffer, PreparedBufferIsExactlySizedZeroedAndReused) {
    std::vector<unsigned char> buffer(100, 0xAB);
    const unsigned char* storage = buffer.data();
    const size_t capacity = buffer.capacity();

    pdhPrepareBuffer(buffer, 40);
    EXPECT_EQ(buffer.size(), 40u);
    EXPECT_EQ(buffer.capacity(), capacity);

    // Growing back within the old storage must not expose the earlier bytes.
    buffer[0] = 0xCD;
    pdhPrepareBuffer(buffer, 100);
    EXPECT_EQ(buffer.size(), 100u);
    EXPECT_EQ(buffer.data(), storage);
    for (unsigned char byte : buffer)
        ASSERT_EQ(byte, 0);
}

// Against Wine 8's pdh.dll, probed first: it has no "Processor Information" object
// and no wildcard instances (adding either answers 0xC0000BB9); it does have
// "\Processor(_Total)\% Processor Time", which it formats as 0 with a valid status.
// Its PdhGetFormattedCounterArrayW is an unimplemented stub that aborts the process,
// so wildcard reads run against the simulated PC below.
TEST(PdhShell, NeverOpenedQueryAndUnknownCountersFailCleanly) {
    PdhQuery query;
    EXPECT_FALSE(pdhCollect(query));
    double value = 42;
    EXPECT_FALSE(pdhReadValue(query, nullptr, value));
    EXPECT_EQ(value, 42);
    std::vector<PdhInstanceValue> values = {{L"stale", 1}};
    EXPECT_FALSE(pdhReadArray(query, nullptr, values));
    EXPECT_TRUE(values.empty());

    uint32_t status = 0;
    EXPECT_EQ(pdhAddCounter(query, L"\\Ovra Bogus Object(_Total)\\No Such Counter", &status),
              nullptr);
    EXPECT_NE(status, 0u);
    EXPECT_NE(query.handle, nullptr); // the query itself opened
    pdhClose(query);
}

TEST(PdhShell, CounterWineOffersIsCollectedAndRead) {
    PdhQuery query;
    uint32_t status = 1;
    const PdhCounter counter =
        pdhAddCounter(query, L"\\Processor(_Total)\\% Processor Time", &status);
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_NE(pdhAddCounter(query, L"\\System\\System Up Time"), nullptr);

    EXPECT_TRUE(pdhCollect(query));
    EXPECT_TRUE(pdhCollect(query));
    EXPECT_EQ(query.collects, 2u);
    double value = -1;
    ASSERT_TRUE(pdhReadValue(query, counter, value));
    EXPECT_GE(value, 0);

    query.buffer.resize(1024);
    pdhClose(query);
    EXPECT_EQ(query.handle, nullptr);
    EXPECT_EQ(query.buffer.capacity(), 0u);
    EXPECT_FALSE(pdhCollect(query));
    EXPECT_EQ(query.collects, 2u);
    pdhClose(query); // closing twice is harmless
}

// Wildcard reads through the real shell, served by the simulated PC's pdh.dll.
using SimulatedPdh = test::SimulatedPc;

TEST_F(SimulatedPdh, WildcardRateReadsEveryInstanceFromTheSecondCollectionOn) {
    setMachine("\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(HarddiskVolume3)\\Disk Read Bytes/sec = 0\n"
               "\\LogicalDisk(_Total)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 512\n");
    PdhQuery query;
    const PdhCounter reads = pdhAddCounter(query, L"\\LogicalDisk(*)\\Disk Read Bytes/sec");
    ASSERT_NE(reads, nullptr);
    std::vector<PdhInstanceValue> values = {{L"stale", 1}};

    // A rate has no value after one collection; the read itself succeeds.
    ASSERT_TRUE(pdhCollect(query));
    EXPECT_TRUE(pdhReadArray(query, reads, values));
    EXPECT_TRUE(values.empty());

    ASSERT_TRUE(pdhCollect(query));
    ASSERT_TRUE(pdhReadArray(query, reads, values));
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].name, L"C:");
    EXPECT_EQ(values[0].value, 1048576);
    EXPECT_EQ(values[1].name, L"HarddiskVolume3");
    EXPECT_EQ(values[1].value, 0); // an idle drive reads a real zero
    EXPECT_EQ(values[2].name, L"_Total");

    // The machine changes between collections: a drive leaves, another comes.
    setMachine("\\LogicalDisk(C:)\\Disk Read Bytes/sec = 2048.5\n"
               "\\LogicalDisk(E:)\\Disk Read Bytes/sec = 10\n");
    EXPECT_TRUE(pdhReadArray(query, reads, values)); // nothing new before a collection
    EXPECT_EQ(values.size(), 3u);
    ASSERT_TRUE(pdhCollect(query));
    ASSERT_TRUE(pdhReadArray(query, reads, values));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].value, 2048.5);
    EXPECT_EQ(values[1].name, L"E:");

    // Every instance gone: an empty, successful read.
    setMachine("\\LogicalDisk(C:)\\Free Megabytes = 100\n");
    ASSERT_TRUE(pdhCollect(query));
    values = {{L"stale", 1}};
    EXPECT_TRUE(pdhReadArray(query, reads, values));
    EXPECT_TRUE(values.empty());
    pdhClose(query);
}

TEST_F(SimulatedPdh, LongInstanceNamesAndInvalidInstancesOfOneRead) {
    const std::string engine = "pid_1234_luid_0x00000000_0x0000D1A2_phys_0_eng_0_engtype_3D";
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3132\n"
               "\\Thermal Zone Information(\\_TZ.CPUZ)\\Temperature = status 0xC0000BBA\n"
               "\\GPU Adapter Memory(luid_0x00000000_0x0000D1A2_phys_0)\\Dedicated Usage = "
               "1073741824\n"
               "\\GPU Engine(" +
               engine + ")\\Utilization Percentage = 137.5\n");
    PdhQuery query;
    const PdhCounter zones = pdhAddCounter(query, L"\\Thermal Zone Information(*)\\Temperature");
    const PdhCounter memory = pdhAddCounter(query, L"\\GPU Adapter Memory(*)\\Dedicated Usage");
    const PdhCounter engines = pdhAddCounter(query, L"\\GPU Engine(*)\\Utilization Percentage");
    ASSERT_NE(zones, nullptr);
    ASSERT_NE(memory, nullptr);
    ASSERT_NE(engines, nullptr);
    ASSERT_TRUE(pdhCollect(query));

    // A temperature is not a rate: it has its value, in tenths of kelvin, at once.
    std::vector<PdhInstanceValue> values;
    ASSERT_TRUE(pdhReadArray(query, zones, values));
    ASSERT_EQ(values.size(), 1u); // the zone without a valid value is left out
    EXPECT_EQ(values[0].name, L"\\_TZ.TZ00");
    EXPECT_EQ(values[0].value, 3132);
    ASSERT_TRUE(pdhReadArray(query, memory, values));
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, L"luid_0x00000000_0x0000D1A2_phys_0");
    EXPECT_EQ(values[0].value, 1073741824.0);

    ASSERT_TRUE(pdhCollect(query));
    ASSERT_TRUE(pdhReadArray(query, engines, values));
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, std::wstring(engine.begin(), engine.end()));
    EXPECT_EQ(values[0].value, 137.5); // percentages are never capped at 100
    EXPECT_GE(query.buffer.size(), sizeof(PdhItem) + (engine.size() + 1) * sizeof(wchar_t));
    pdhClose(query);
}

TEST_F(SimulatedPdh, MissingObjectsCountersAndInstancesAreTold) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n");
    PdhQuery query;
    uint32_t status = 0;
    EXPECT_EQ(pdhAddCounter(query, L"\\GPU Engine(*)\\Utilization Percentage", &status), nullptr);
    EXPECT_EQ(pdhStatusText(status), L"objek penghitung kinerja tidak ada");
    EXPECT_EQ(pdhAddCounter(query, L"\\Processor Information(*)\\Processor Frequency", &status),
              nullptr);
    EXPECT_EQ(pdhStatusText(status), L"penghitung kinerja tidak ada");

    const PdhCounter total =
        pdhAddCounter(query, L"\\Processor Information(_Total)\\% Processor Performance");
    const PdhCounter absent =
        pdhAddCounter(query, L"\\Processor Information(0,7)\\% Processor Performance");
    ASSERT_NE(total, nullptr);
    ASSERT_NE(absent, nullptr); // an instance may appear later, as on Windows
    ASSERT_TRUE(pdhCollect(query));
    double value = -1;
    EXPECT_FALSE(pdhReadValue(query, total, value)); // a rate: one collection is not enough
    ASSERT_TRUE(pdhCollect(query));
    ASSERT_TRUE(pdhReadValue(query, total, value));
    EXPECT_EQ(value, 112.5);
    value = -1;
    EXPECT_FALSE(pdhReadValue(query, absent, value));
    EXPECT_EQ(value, -1);
    pdhClose(query);
}

} // namespace
} // namespace ovra
