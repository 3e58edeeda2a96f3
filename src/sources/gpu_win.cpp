#include "sources/gpu.h"

#include <windows.h>

#include <dxgi.h>

#include <cstddef>
#include <memory>

#include "sources/system_library.h"

namespace ovra {

namespace {

// The display kernel thunks of gdi32. MinGW ships no d3dkmthk.h, so the few
// records they take are declared here, checked against Windows' layout.
using D3dkmtHandle = UINT;

struct OpenAdapterFromLuidArgs { // D3DKMT_OPENADAPTERFROMLUID
    LUID adapterLuid;
    D3dkmtHandle adapter;
};
static_assert(sizeof(OpenAdapterFromLuidArgs) == 12);
static_assert(offsetof(OpenAdapterFromLuidArgs, adapter) == 8);

struct QueryAdapterInfoArgs { // D3DKMT_QUERYADAPTERINFO
    D3dkmtHandle adapter;
    UINT type; // KMTQUERYADAPTERINFOTYPE
    void* privateDriverData;
    UINT privateDriverDataSize;
};
static_assert(offsetof(QueryAdapterInfoArgs, type) == 4);
static_assert(offsetof(QueryAdapterInfoArgs, privateDriverData) == 8);
static_assert(offsetof(QueryAdapterInfoArgs, privateDriverDataSize) == 8 + sizeof(void*));
static_assert(sizeof(QueryAdapterInfoArgs) == (sizeof(void*) == 8 ? 24 : 16));

struct CloseAdapterArgs { // D3DKMT_CLOSEADAPTER
    D3dkmtHandle adapter;
};
static_assert(sizeof(CloseAdapterArgs) == 4);

struct AdapterPerfData { // D3DKMT_ADAPTER_PERFDATA
    UINT32 physicalAdapterIndex;
    ULONGLONG memoryFrequency;
    ULONGLONG maxMemoryFrequency;
    ULONGLONG maxMemoryFrequencyOverclocked;
    ULONGLONG memoryBandwidth;
    ULONGLONG pcieBandwidth;
    ULONG fanRpm;
    ULONG power;
    ULONG temperature; // tenths of a degree Celsius
    UCHAR powerStateOverride;
};
static_assert(sizeof(AdapterPerfData) == 64);
static_assert(offsetof(AdapterPerfData, memoryFrequency) == 8);
static_assert(offsetof(AdapterPerfData, maxMemoryFrequency) == 16);
static_assert(offsetof(AdapterPerfData, maxMemoryFrequencyOverclocked) == 24);
static_assert(offsetof(AdapterPerfData, memoryBandwidth) == 32);
static_assert(offsetof(AdapterPerfData, pcieBandwidth) == 40);
static_assert(offsetof(AdapterPerfData, fanRpm) == 48);
static_assert(offsetof(AdapterPerfData, power) == 52);
static_assert(offsetof(AdapterPerfData, temperature) == 56);
static_assert(offsetof(AdapterPerfData, powerStateOverride) == 60);

constexpr UINT adapterPerfDataType = 62; // KMTQAITYPE_ADAPTERPERFDATA

using OpenAdapterFromLuidFunction = LONG(APIENTRY*)(OpenAdapterFromLuidArgs*);
using QueryAdapterInfoFunction = LONG(APIENTRY*)(const QueryAdapterInfoArgs*);
using CloseAdapterFunction = LONG(APIENTRY*)(const CloseAdapterArgs*);
using CreateDxgiFactory1Function = HRESULT(WINAPI*)(REFIID, void**);

// IID_IDXGIFactory1, spelt out so that no GUID library is needed.
constexpr GUID dxgiFactory1Id = {
    0x770aae78, 0xf26f, 0x4dba, {0xa8, 0x29, 0x25, 0x3c, 0x83, 0xd1, 0xb3, 0x87}};

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface> using ComPtr = std::unique_ptr<Interface, ComRelease>;

struct LibraryFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFree>;

GpuEnumAnswer describeAdapter(IDXGIFactory1& factory, uint32_t index) {
    GpuEnumAnswer answer;
    IDXGIAdapter1* raw = nullptr;
    answer.result = factory.EnumAdapters1(index, &raw);
    const ComPtr<IDXGIAdapter1> adapter(raw);
    answer.adapterGiven = adapter != nullptr;
    if (answer.result < 0 || !adapter) return answer;
    DXGI_ADAPTER_DESC1 description = {};
    answer.describedOk = SUCCEEDED(adapter->GetDesc1(&description));
    if (!answer.describedOk) return answer;
    description.Description[ARRAYSIZE(description.Description) - 1] = L'\0';
    answer.name = description.Description;
    answer.vendorId = description.VendorId;
    answer.deviceId = description.DeviceId;
    answer.flags = description.Flags;
    answer.luid = GpuLuid{description.AdapterLuid.LowPart, description.AdapterLuid.HighPart};
    answer.dedicatedVideoMemory = description.DedicatedVideoMemory;
    answer.sharedSystemMemory = description.SharedSystemMemory;
    return answer;
}

// No DXGI object outlives this function; the library is unloaded on return.
void listAdapters(GpuInfo& gpu) {
    const LibraryHandle dxgi(loadSystemLibrary(L"dxgi.dll"));
    if (!dxgi) return gpuApplyDxgiFailure(gpu, GpuDxgiFailure::LibraryMissing);
    const auto createFactory =
        systemFunction<CreateDxgiFactory1Function>(dxgi.get(), "CreateDXGIFactory1");
    void* raw = nullptr;
    const HRESULT created = createFactory ? createFactory(dxgiFactory1Id, &raw) : E_FAIL;
    const ComPtr<IDXGIFactory1> factory(static_cast<IDXGIFactory1*>(raw));
    if (FAILED(created) || !factory) return gpuApplyDxgiFailure(gpu, GpuDxgiFailure::FactoryFailed);
    gpuEnumerateAdapters(gpu, [&](uint32_t index) { return describeAdapter(*factory, index); });
}

void resolveThunks(GpuInfo& gpu) {
    if (gpu.thunksResolved) return;
    gpu.thunksResolved = true;
    // gdi32 is in every GUI process already; it is looked up, never loaded.
    const HMODULE gdi32 = GetModuleHandleW(L"gdi32.dll");
    gpu.openAdapterFromLuid = reinterpret_cast<void*>(
        systemFunction<OpenAdapterFromLuidFunction>(gdi32, "D3DKMTOpenAdapterFromLuid"));
    gpu.queryAdapterInfo = reinterpret_cast<void*>(
        systemFunction<QueryAdapterInfoFunction>(gdi32, "D3DKMTQueryAdapterInfo"));
    gpu.closeAdapter =
        reinterpret_cast<void*>(systemFunction<CloseAdapterFunction>(gdi32, "D3DKMTCloseAdapter"));
}

void readSensors(const GpuInfo& gpu, GpuAdapter& adapter) {
    if (!gpu.openAdapterFromLuid || !gpu.queryAdapterInfo || !gpu.closeAdapter)
        return gpuApplySensors(adapter, GpuSensorQuery::ThunksMissing, 0, 0);
    const auto open = reinterpret_cast<OpenAdapterFromLuidFunction>(gpu.openAdapterFromLuid);
    const auto query = reinterpret_cast<QueryAdapterInfoFunction>(gpu.queryAdapterInfo);
    const auto close = reinterpret_cast<CloseAdapterFunction>(gpu.closeAdapter);

    OpenAdapterFromLuidArgs opened = {};
    opened.adapterLuid.LowPart = adapter.luid.lowPart;
    opened.adapterLuid.HighPart = adapter.luid.highPart;
    if (open(&opened) < 0) return gpuApplySensors(adapter, GpuSensorQuery::OpenFailed, 0, 0);

    AdapterPerfData perf = {};
    const QueryAdapterInfoArgs request = {opened.adapter, adapterPerfDataType, &perf, sizeof(perf)};
    const LONG status = query(&request);
    const CloseAdapterArgs closing = {opened.adapter};
    close(&closing);
    if (status < 0) return gpuApplySensors(adapter, GpuSensorQuery::QueryFailed, 0, 0);
    gpuApplySensors(adapter, GpuSensorQuery::Answered, perf.temperature, perf.fanRpm);
}

} // namespace

void gpuInit(GpuInfo& gpu, PdhQuery& gpuQuery) {
    gpu.query = &gpuQuery;
    listAdapters(gpu);

    uint32_t status = 0;
    gpu.engineCounter =
        pdhAddCounter(gpuQuery, L"\\GPU Engine(*)\\Utilization Percentage", &status);
    gpuApplyEngineCounterSetup(gpu, gpu.engineCounter != nullptr, status);
    gpu.dedicatedCounter = pdhAddCounter(gpuQuery, L"\\GPU Adapter Memory(*)\\Dedicated Usage");
    gpu.sharedCounter = pdhAddCounter(gpuQuery, L"\\GPU Adapter Memory(*)\\Shared Usage");
}

void gpuUpdate(GpuInfo& gpu) {
    GpuCounterReads reads;
    reads.engineCounterAdded = gpu.engineCounter != nullptr;
    if (gpu.query) {
        reads.engineRead = pdhReadArray(*gpu.query, gpu.engineCounter, gpu.engineValues);
        reads.dedicatedRead = pdhReadArray(*gpu.query, gpu.dedicatedCounter, gpu.dedicatedValues);
        reads.sharedRead = pdhReadArray(*gpu.query, gpu.sharedCounter, gpu.sharedValues);
    }
    gpuApplyCounterReads(gpu, reads, gpu.query ? gpu.query->collects : 0);

    resolveThunks(gpu);
    for (GpuAdapter& adapter : gpu.adapters)
        readSensors(gpu, adapter);
}

} // namespace ovra
