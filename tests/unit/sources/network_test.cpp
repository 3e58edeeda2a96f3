#include "sources/network.h"
#include "sources/utf8.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ovra {
namespace {

constexpr uint32_t ethernet = 6;
constexpr uint32_t wifi = 71;

NetworkRow row(uint64_t luid, uint64_t inOctets, uint64_t outOctets, bool up = true,
               uint32_t type = ethernet) {
    NetworkRow r;
    r.luid = luid;
    r.alias = L"Ethernet " + std::to_wstring(luid);
    r.description = L"Adapter " + std::to_wstring(luid);
    r.receiveLinkBps = 1'000'000'000;
    r.transmitLinkBps = 1'000'000'000;
    r.type = type;
    r.operationalUp = up;
    r.hardwareInterface = true;
    r.filterInterface = false;
    r.inOctets = inOctets;
    r.outOctets = outOctets;
    return r;
}

const NetworkAdapter* adapterOf(const NetworkInfo& network, uint64_t luid) {
    for (const NetworkAdapter& adapter : network.adapters) {
        if (adapter.luid == luid) return &adapter;
    }
    return nullptr;
}

TEST(NetworkCore, FirstUpdateListsThenRatesAreBytesOverElapsedSeconds) {
    NetworkInfo network;
    EXPECT_EQ(network.status.limitation, Limitation::Measuring);
    networkApply(network, {row(1, 10'000'000, 3'000'000)}, 5000);
    EXPECT_TRUE(network.status.ok);
    EXPECT_FALSE(network.ratesValid);
    EXPECT_EQ(network.downloadRate, 0.0);
    EXPECT_EQ(network.receivedSinceOpen, 0u);
    ASSERT_EQ(network.adapters.size(), 1u);
    EXPECT_EQ(network.adapters[0].alias, L"Ethernet 1");

    networkApply(network, {row(1, 12'000'000, 3'500'000)}, 5500);
    EXPECT_TRUE(network.ratesValid);
    EXPECT_EQ(network.downloadRate, 4'000'000.0);
    EXPECT_EQ(network.uploadRate, 1'000'000.0);
    EXPECT_EQ(network.adapters[0].downloadRate, 4'000'000.0);
    EXPECT_EQ(network.receivedSinceOpen, 2'000'000u);
    EXPECT_EQ(network.sentSinceOpen, 500'000u);
}

TEST(NetworkCore, OnlyPhysicalAdaptersAreListedAndCounted) {
    NetworkRow software = row(2, 0, 0);
    software.hardwareInterface = false;
    NetworkRow filter = row(3, 0, 0);
    filter.filterInterface = true;
    const NetworkRow loopback = row(4, 0, 0, true, 24);
    const NetworkRow tunnel = row(5, 0, 0, true, 131);

    NetworkInfo network;
    networkApply(network, {software, filter, row(1, 0, 0, true, wifi), loopback, tunnel}, 1000);
    ASSERT_EQ(network.adapters.size(), 1u);
    EXPECT_EQ(network.adapters[0].luid, 1u);
    EXPECT_TRUE(network.adapters[0].wifi);

    software.inOctets = filter.inOctets = 1'000'000;
    networkApply(network, {software, filter, row(1, 100, 0), loopback, tunnel}, 2000);
    EXPECT_EQ(network.adapters.size(), 1u);
    EXPECT_FALSE(network.adapters[0].wifi);
    EXPECT_EQ(network.receivedSinceOpen, 100u);
}

TEST(NetworkCore, AdapterDownAtStartIsListedOnlyOnceItComesUp) {
    NetworkInfo network;
    networkApply(network, {row(1, 0, 0), row(2, 7'000'000, 1'000, false)}, 1000);
    EXPECT_EQ(adapterOf(network, 2), nullptr);
    networkApply(network, {row(1, 0, 0), row(2, 8'000'000, 2'000, false)}, 2000);
    EXPECT_EQ(adapterOf(network, 2), nullptr);

    networkApply(network, {row(1, 0, 0), row(2, 9'000'000, 3'000, true)}, 3000);
    const NetworkAdapter* late = adapterOf(network, 2);
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(late->up);
    EXPECT_EQ(late->receivedSinceOpen, 0u);
    EXPECT_EQ(late->downloadRate, 0.0);
    EXPECT_EQ(network.adapters.back().luid, 2u);

    networkApply(network, {row(1, 0, 0), row(2, 9'004'000, 3'000, true)}, 5000);
    EXPECT_EQ(late->receivedSinceOpen, 4'000u);
    EXPECT_EQ(network.downloadRate, 2'000.0);
}

TEST(NetworkCore, CounterGoingBackwardsCountsNothingThenResumes) {
    NetworkInfo network;
    networkApply(network, {row(1, 5'000'000, 5'000'000)}, 1000);
    networkApply(network, {row(1, 6'000'000, 5'500'000)}, 2000);
    networkApply(network, {row(1, 1'000, 2'000)}, 3000);
    EXPECT_EQ(network.downloadRate, 0.0);
    EXPECT_EQ(network.uploadRate, 0.0);
    EXPECT_TRUE(network.ratesValid);
    EXPECT_EQ(network.receivedSinceOpen, 1'000'000u);
    EXPECT_EQ(network.sentSinceOpen, 500'000u);

    networkApply(network, {row(1, 3'000, 2'500)}, 4000);
    EXPECT_EQ(network.downloadRate, 2'000.0);
    EXPECT_EQ(network.uploadRate, 500.0);
    EXPECT_EQ(network.receivedSinceOpen, 1'002'000u);
}

TEST(NetworkCore, AdaptersAreNeverRemovedAndKeepTheirTotals) {
    NetworkInfo network;
    networkApply(network, {row(1, 0, 0), row(2, 0, 0)}, 1000);
    networkApply(network, {row(1, 1'000, 100), row(2, 4'000, 400)}, 2000);
    ASSERT_EQ(network.downloadRate, 5'000.0);

    // Adapter 2 leaves the table.
    networkApply(network, {row(1, 3'000, 200)}, 3000);
    ASSERT_EQ(network.adapters.size(), 2u);
    const NetworkAdapter& gone = network.adapters[1];
    EXPECT_FALSE(gone.up);
    EXPECT_EQ(gone.downloadRate, 0.0);
    EXPECT_EQ(gone.uploadRate, 0.0);
    EXPECT_EQ(gone.receivedSinceOpen, 4'000u);
    EXPECT_EQ(network.downloadRate, 2'000.0);
    EXPECT_EQ(network.uploadRate, 100.0);
    EXPECT_EQ(network.receivedSinceOpen, 7'000u);
    EXPECT_EQ(network.sentSinceOpen, 600u);

    // Present but down: listed as down, rates 0, totals kept.
    networkApply(network, {row(1, 3'000, 200), row(2, 4'500, 400, false)}, 4000);
    EXPECT_FALSE(network.adapters[1].up);
    EXPECT_EQ(network.adapters[1].receivedSinceOpen, 4'500u);
    EXPECT_EQ(network.downloadRate, 0.0);

    // Listed all along, it comes up: its rate is measured on that very update.
    networkApply(network, {row(1, 3'000, 200), row(2, 6'500, 400)}, 5000);
    EXPECT_TRUE(network.adapters[1].up);
    EXPECT_EQ(network.downloadRate, 2'000.0);
}

TEST(NetworkCore, ReturningAdapterCountsItsAbsenceWithoutARateSpike) {
    NetworkInfo network;
    networkApply(network, {row(1, 0, 0)}, 1000);
    networkApply(network, {row(1, 1'000, 0)}, 2000);
    networkApply(network, {}, 3000);
    networkApply(network, {}, 600'000);

    // Ten minutes of traffic while it was out of the table arrive in one delta:
    // the total keeps them, the rate of this two-second tick does not.
    networkApply(network, {row(1, 600'001'000, 0)}, 602'000);
    const NetworkAdapter& back = network.adapters[0];
    EXPECT_TRUE(back.up);
    EXPECT_EQ(back.receivedSinceOpen, 600'001'000u);
    EXPECT_EQ(back.downloadRate, 0.0);
    EXPECT_EQ(network.downloadRate, 0.0);
    EXPECT_TRUE(network.ratesValid);

    networkApply(network, {row(1, 600'003'000, 0)}, 604'000);
    EXPECT_EQ(network.downloadRate, 1'000.0);
}

TEST(NetworkCore, FailureKeepsEverythingAndGivesTheWindowsReason) {
    NetworkInfo network;
    networkApply(network, {row(1, 0, 0)}, 1000);
    networkApply(network, {row(1, 2'000, 1'000)}, 2000);

    networkFail(network, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(network.status.ok);
    EXPECT_EQ(network.status.limitation, Limitation::WindowsApi);
    const std::wstring& reason = network.status.reason;
    EXPECT_EQ(reason.rfind(L"GetIfTable2 gagal: ", 0), 0u);
    EXPECT_GT(reason.size(), 40u); // the Windows message sits between prefix and code
    EXPECT_EQ(reason.substr(reason.size() - 13), L" (0x00000005)");
    EXPECT_EQ(network.downloadRate, 2'000.0);
    EXPECT_EQ(network.receivedSinceOpen, 2'000u);
    EXPECT_TRUE(network.adapters.at(0).up);

    // The next success measures from the last successful read.
    networkApply(network, {row(1, 10'000, 1'000)}, 6000);
    EXPECT_TRUE(network.status.ok);
    EXPECT_EQ(network.downloadRate, 2'000.0);
}

// The interface table as GetIfTable2 answers it now.
std::vector<MIB_IF_ROW2> interfaceTable() {
    MIB_IF_TABLE2* table = nullptr;
    std::vector<MIB_IF_ROW2> rows;
    if (GetIfTable2(&table) != NO_ERROR) return rows;
    rows.assign(table->Table, table->Table + table->NumEntries);
    FreeMibTable(table);
    return rows;
}

const MIB_IF_ROW2* rowOf(const std::vector<MIB_IF_ROW2>& rows, uint64_t luid) {
    for (const MIB_IF_ROW2& row : rows)
        if (row.InterfaceLuid.Value == luid) return &row;
    return nullptr;
}

TEST(NetworkShell, ReadsTheInterfaceTable) {
    NetworkInfo network;
    const std::vector<MIB_IF_ROW2> before = interfaceTable();
    networkUpdate(network);
    const std::vector<MIB_IF_ROW2> after = interfaceTable();
    ASSERT_TRUE(network.status.ok) << wideToUtf8(network.status.reason);
    EXPECT_NE(network.lastTick, 0u);
    EXPECT_FALSE(network.ratesValid);

    // Every listed adapter is an up, physical interface of the real table, with its
    // names copied whole and each direction's octets from its own column: they lie
    // between what the table said just before and just after.
    bool directionsDiffer = false;
    for (const NetworkAdapter& adapter : network.adapters) {
        const MIB_IF_ROW2* first = rowOf(before, adapter.luid);
        const MIB_IF_ROW2* last = rowOf(after, adapter.luid);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(last, nullptr);
        EXPECT_TRUE(first->InterfaceAndOperStatusFlags.HardwareInterface);
        EXPECT_FALSE(first->InterfaceAndOperStatusFlags.FilterInterface);
        EXPECT_NE(first->Type, 24u);
        EXPECT_EQ(adapter.alias, std::wstring(first->Alias));
        EXPECT_EQ(adapter.description, std::wstring(first->Description));
        EXPECT_GE(adapter.lastInOctets, first->InOctets);
        EXPECT_LE(adapter.lastInOctets, last->InOctets);
        EXPECT_GE(adapter.lastOutOctets, first->OutOctets);
        EXPECT_LE(adapter.lastOutOctets, last->OutOctets);
        if (last->InOctets < first->OutOctets || last->OutOctets < first->InOctets)
            directionsDiffer = true;
    }
    EXPECT_TRUE(directionsDiffer) << "no adapter whose directions can be told apart, so a "
                                     "swapped download and upload would go unseen here";

    Sleep(20);
    networkUpdate(network);
    EXPECT_TRUE(network.status.ok);
    EXPECT_TRUE(network.ratesValid);
}

} // namespace
} // namespace ovra
