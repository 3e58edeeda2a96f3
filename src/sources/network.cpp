#include "sources/network.h"

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint32_t softwareLoopbackType = 24;
constexpr uint32_t tunnelType = 131;
constexpr uint32_t wifiType = 71;

// Physical adapters only: virtual switches, filter drivers, loopback and tunnels
// would count the same traffic more than once.
bool isPhysicalAdapter(const NetworkRow& row) {
    return row.hardwareInterface && !row.filterInterface && row.type != softwareLoopbackType &&
           row.type != tunnelType;
}

NetworkAdapter* findAdapter(NetworkInfo& network, uint64_t luid) {
    for (NetworkAdapter& adapter : network.adapters) {
        if (adapter.luid == luid) return &adapter;
    }
    return nullptr;
}

// Interface counters may restart (driver reset, reconnection); a counter that went
// backwards contributes nothing rather than a wrapped 64-bit difference.
uint64_t counterDelta(uint64_t current, uint64_t last) {
    return current >= last ? current - last : 0;
}

} // namespace

void networkApply(NetworkInfo& network, const std::vector<NetworkRow>& rows, uint64_t nowMs) {
    const double elapsed =
        network.lastTick != 0 ? static_cast<double>(nowMs - network.lastTick) / 1000.0 : 0.0;
    network.lastTick = nowMs;

    // Adapters that left the table are down from now on; the rows below set the rest.
    for (NetworkAdapter& adapter : network.adapters) {
        adapter.listedBefore = adapter.listed;
        adapter.listed = false;
        adapter.up = false;
    }

    for (const NetworkRow& row : rows) {
        if (!isPhysicalAdapter(row)) continue;

        NetworkAdapter* adapter = findAdapter(network, row.luid);
        if (!adapter) {
            if (!row.operationalUp) continue;
            // Traffic from before the adapter was first seen is not counted.
            NetworkAdapter discovered;
            discovered.luid = row.luid;
            discovered.lastInOctets = row.inOctets;
            discovered.lastOutOctets = row.outOctets;
            network.adapters.push_back(std::move(discovered));
            adapter = &network.adapters.back();
        }

        // An adapter that was missing from the table at the previous update may have
        // been gone for a long time: its delta then spans that whole absence, which
        // belongs in the totals but would show as a spike if divided by one tick. Its
        // rate starts with the next update instead.
        adapter->listed = true;

        adapter->alias = row.alias;
        adapter->description = row.description;
        adapter->receiveLinkBps = row.receiveLinkBps;
        adapter->transmitLinkBps = row.transmitLinkBps;
        adapter->up = row.operationalUp;
        adapter->wifi = row.type == wifiType;

        const uint64_t received = counterDelta(row.inOctets, adapter->lastInOctets);
        const uint64_t sent = counterDelta(row.outOctets, adapter->lastOutOctets);
        adapter->lastInOctets = row.inOctets;
        adapter->lastOutOctets = row.outOctets;
        adapter->receivedSinceOpen += received;
        adapter->sentSinceOpen += sent;

        if (elapsed > 0 && adapter->listedBefore) {
            adapter->downloadRate = static_cast<double>(received) / elapsed;
            adapter->uploadRate = static_cast<double>(sent) / elapsed;
        } else {
            adapter->downloadRate = 0;
            adapter->uploadRate = 0;
        }
    }

    network.downloadRate = 0;
    network.uploadRate = 0;
    network.receivedSinceOpen = 0;
    network.sentSinceOpen = 0;
    for (NetworkAdapter& adapter : network.adapters) {
        if (!adapter.up) {
            adapter.downloadRate = 0;
            adapter.uploadRate = 0;
        }
        network.downloadRate += adapter.downloadRate;
        network.uploadRate += adapter.uploadRate;
        // Disconnected adapters keep what they carried while the program was open.
        network.receivedSinceOpen += adapter.receivedSinceOpen;
        network.sentSinceOpen += adapter.sentSinceOpen;
    }

    setReading(network.status, true);
    network.ratesValid = elapsed > 0;
}

void networkFail(NetworkInfo& network, uint32_t code) {
    setUnavailable(network.status, Limitation::WindowsApi,
                   L"GetIfTable2 gagal: " + windowsErrorText(code));
}

} // namespace ovra
