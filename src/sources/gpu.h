#pragma once
// Graphics adapters: listed once at start-up through DXGI, measured on every slow
// tick from the GPU counters (matched by LUID) and the display kernel thunks.
#include <cstdint>
#include <string>
#include <vector>
#include "sources/pdh_query.h"
#include "sources/reading.h"

namespace ovra {

// An adapter's locally unique id, laid out like Windows' LUID.
struct GpuLuid {
    uint32_t lowPart = 0;
    int32_t highPart = 0;
};

struct GpuAdapter {
    std::wstring name; // DXGI's description
    GpuLuid luid;
    uint64_t dedicatedTotal = 0;   // bytes of dedicated video memory
    uint64_t sharedTotal = 0;      // bytes of system memory the adapter may share
    Reading<double> usage;         // percent, busiest engine type
    Reading<double> dedicatedUsed; // bytes
    Reading<double> sharedUsed;    // bytes
    Reading<double> temperature;   // driver-reported, degrees Celsius
    Reading<uint32_t> fanRpm;
};

struct GpuInfo {
    std::vector<GpuAdapter> adapters; // hardware adapters, in DXGI order
    Reading<bool> status;             // the outcome of the enumeration
    std::wstring engineCounterReason; // why the engine counter is missing; empty when added
};

// Lists the hardware adapters and adds the three GPU counters to the query; run
// once at start-up before the query's first collection.
void gpuInit(GpuInfo& gpu, PdhQuery& gpuQuery);

// Measures every adapter; run after the GPU query was collected.
void gpuUpdate(GpuInfo& gpu);

// --- The rules behind those, over the plain answers of Windows. ---

// What IDXGIFactory1::EnumAdapters1 and IDXGIAdapter1::GetDesc1 answered for one
// index.
struct GpuEnumAnswer {
    int32_t result = 0;        // HRESULT of EnumAdapters1
    bool adapterGiven = false; // a non-null adapter came back
    bool describedOk = false;  // GetDesc1 succeeded
    std::wstring name;
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    uint32_t flags = 0; // DXGI_ADAPTER_FLAG_*
    GpuLuid luid;
    uint64_t dedicatedVideoMemory = 0;
    uint64_t sharedSystemMemory = 0;
};

// Keeps a hardware adapter (no software adapter, no basic render driver, no LUID
// twice); false when the answer ends the enumeration: any failed result or a
// missing adapter, as there is nothing to read at that index.
bool gpuAddAdapter(GpuInfo& gpu, const GpuEnumAnswer& answer);

// The three wildcard reads of one update, each with whether it succeeded; a
// counter that was never added counts as a failed read.
struct GpuCounterReads {
    bool engineCounterAdded = false;
    bool engineRead = false;
    bool dedicatedRead = false;
    bool sharedRead = false;
    std::vector<PdhInstanceValue> engines;   // "\GPU Engine(*)\Utilization Percentage"
    std::vector<PdhInstanceValue> dedicated; // "\GPU Adapter Memory(*)\Dedicated Usage"
    std::vector<PdhInstanceValue> shared;    // "\GPU Adapter Memory(*)\Shared Usage"
};

// GPU use and memory of every adapter, from the instances whose names hold its
// "luid_0x<high>_0x<low>"; collects counts the GPU query's collections so far
// (use needs two).
void gpuApplyCounterReads(GpuInfo& gpu, const GpuCounterReads& reads, uint32_t collects);

// How far the display kernel query of one adapter got.
enum class GpuSensorQuery { ThunksMissing, OpenFailed, QueryFailed, Answered };

// temperatureTenths is in tenths of a degree Celsius; both raw values count only
// when the query answered.
void gpuApplySensors(GpuAdapter& adapter, GpuSensorQuery query, uint32_t temperatureTenths,
                     uint32_t fanRpm);

} // namespace ovra
