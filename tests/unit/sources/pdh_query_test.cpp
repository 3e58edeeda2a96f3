#include "sources/pdh_query.h"

#include <gtest/gtest.h>

#include <iterator>
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
// so wildcard reads are exercised only through the pure item filter above.
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

} // namespace
} // namespace ovra
