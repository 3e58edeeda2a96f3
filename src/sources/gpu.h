#pragma once
// Graphics adapters: listed once at start-up through DXGI, measured on every slow
// tick from the GPU counters (matched by LUID) and the display kernel thunks.
#include <cstdint>
#include <functional>
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
    PdhQuery* query = nullptr;
    PdhCounter engineCounter = nullptr;    // "\GPU Engine(*)\Utilization Percentage"
    PdhCounter dedicatedCounter = nullptr; // "\GPU Adapter Memory(*)\Dedicated Usage"
    PdhCounter sharedCounter = nullptr;    // "\GPU Adapter Memory(*)\Shared Usage"
    std::wstring engineCounterReason;      // why the engine counter is missing

    // Reused by every update: the three wildcard reads.
    std::vector<PdhInstanceValue> engineValues;
    std::vector<PdhInstanceValue> dedicatedValues;
    std::vector<PdhInstanceValue> sharedValues;

    // The display kernel thunks, looked up once on first use.
    bool thunksResolved = false;
    void* openAdapterFromLuid = nullptr;
    void* queryAdapterInfo = nullptr;
    void* closeAdapter = nullptr;
};

// Lists the hardware adapters and adds the three GPU counters to the query; run
// once at start-up before the query's first collection.
void gpuInit(GpuInfo& gpu, PdhQuery& gpuQuery);

// Measures every adapter; run after the GPU query was collected.
void gpuUpdate(GpuInfo& gpu);

// The rules behind gpuInit and gpuUpdate, over the plain answers of Windows.

// What IDXGIFactory1::EnumAdapters1 and IDXGIAdapter1::GetDesc1 answered for one
// index (the adapter object itself is released by the caller's answer function).
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

// No machine has anywhere near this many adapters; an enumeration that never ends
// is cut here.
inline constexpr uint32_t gpuMaxEnumerationIndex = 64;

// Walks the adapters from index 0, asking `answer` for each; ends at the first
// failed result or missing adapter, and after gpuMaxEnumerationIndex indices.
// Keeps the hardware adapters (no software adapter, no basic render driver, no
// LUID twice) and marks the enumeration successful.
void gpuEnumerateAdapters(GpuInfo& gpu, const std::function<GpuEnumAnswer(uint32_t)>& answer);

enum class GpuDxgiFailure { LibraryMissing, FactoryFailed };
void gpuApplyDxgiFailure(GpuInfo& gpu, GpuDxgiFailure failure);

// After adding the engine counter: its status explains every later miss.
void gpuApplyEngineCounterSetup(GpuInfo& gpu, bool added, uint32_t addStatus);

// The counter instance belongs to the adapter: its name holds "luid_0x<high>_0x<low>".
bool gpuInstanceMatches(const std::wstring& instanceName, const GpuLuid& luid);

// The engine type of an instance name: the text after "engtype_", or "?".
std::wstring gpuEngineType(const std::wstring& instanceName);

// Which of the three wildcard reads (into gpu.engineValues, dedicatedValues and
// sharedValues) succeeded; a counter that was never added counts as a failed read.
struct GpuCounterReads {
    bool engineCounterAdded = false;
    bool engineRead = false;
    bool dedicatedRead = false;
    bool sharedRead = false;
};

// GPU use and memory of every adapter; collects counts the GPU query's
// collections so far (use needs two).
void gpuApplyCounterReads(GpuInfo& gpu, const GpuCounterReads& reads, uint32_t collects);

// How far the display kernel query of one adapter got.
enum class GpuSensorQuery { ThunksMissing, OpenFailed, QueryFailed, Answered };

// temperatureTenths is in tenths of a degree Celsius; both raw values count only
// when the query answered.
void gpuApplySensors(GpuAdapter& adapter, GpuSensorQuery query, uint32_t temperatureTenths,
                     uint32_t fanRpm);

} // namespace ovra
