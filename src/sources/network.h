#pragma once
// Physical network adapters: rates and totals since the program was opened.
#include <cstdint>
#include <string>
#include <vector>
#include "sources/reading.h"

namespace ovra {

struct NetworkAdapter {
    uint64_t luid = 0;
    std::wstring alias;
    std::wstring description;
    uint64_t receiveLinkBps = 0;
    uint64_t transmitLinkBps = 0;
    bool up = false;
    bool wifi = false;
    double downloadRate = 0; // bytes per second
    double uploadRate = 0;   // bytes per second
    uint64_t lastInOctets = 0;
    uint64_t lastOutOctets = 0;
    uint64_t receivedSinceOpen = 0;
    uint64_t sentSinceOpen = 0;
    bool listed = false;       // in the interface table at the latest update
    bool listedBefore = false; // ... and at the update before it
};

// One row of the interface table (MIB_IF_ROW2) as the core needs it.
struct NetworkRow {
    uint64_t luid = 0;
    std::wstring alias;
    std::wstring description;
    uint64_t receiveLinkBps = 0;
    uint64_t transmitLinkBps = 0;
    uint32_t type = 0;          // IANA interface type: 6 Ethernet, 71 Wi-Fi, 24 loopback ...
    bool operationalUp = false; // OperStatus is IfOperStatusUp (1)
    bool hardwareInterface = false;
    bool filterInterface = false;
    uint64_t inOctets = 0;
    uint64_t outOctets = 0;
};

struct NetworkInfo {
    Reading<bool> status;
    std::vector<NetworkAdapter> adapters; // in order of discovery, never removed
    double downloadRate = 0;
    double uploadRate = 0;
    uint64_t receivedSinceOpen = 0;
    uint64_t sentSinceOpen = 0;
    bool ratesValid = false;
    uint64_t lastTick = 0; // GetTickCount64 of the last successful update
};

void networkUpdate(NetworkInfo& network);

// One successful table read, nowMs being the tick count (milliseconds) read with it.
void networkApply(NetworkInfo& network, const std::vector<NetworkRow>& rows, uint64_t nowMs);
// A failed table read; everything measured before is kept.
void networkFail(NetworkInfo& network, uint32_t code);

} // namespace ovra
