#include "sources/gpu.h"

#include <windows.h>

#include <dxgi.h>

#include <cstddef>
#include <memory>

#include "sources/handle.h"
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

// The GPU query's counters, the scratch of their reads and the display kernel
// thunks, looked up once on first use.
struct GpuShell {
    PdhQuery* query = nullptr;
    PdhCounter engineCounter = nullptr;
    PdhCounter dedicatedCounter = nullptr;
    PdhCounter sharedCounter = nullptr;
    GpuCounterReads reads;
    bool thunksResolved = false;
    OpenAdapterFromLuidFunction openAdapterFromLuid = nullptr;
    QueryAdapterInfoFunction queryAdapterInfo = nullptr;
    CloseAdapterFunction closeAdapter = nullptr;
};
GpuShell shell;

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
    if (!dxgi) {
        setUnavailable(gpu.status, Limitation::WindowsApi, L"dxgi.dll tidak dapat dimuat.");
        return;
    }
    const auto createFactory =
        systemFunction<CreateDxgiFactory1Function>(dxgi.get(), "CreateDXGIFactory1");
    void* raw = nullptr;
    const HRESULT created = createFactory ? createFactory(dxgiFactory1Id, &raw) : E_FAIL;
    const ComPtr<IDXGIFactory1> factory(static_cast<IDXGIFactory1*>(raw));
    if (FAILED(created) || !factory) {
        setUnavailable(gpu.status, Limitation::WindowsApi, L"CreateDXGIFactory1 gagal.");
        return;
    }
    // No machine has anywhere near 64 adapters; an enumeration that never ends is cut there.
    for (uint32_t index = 0; index < 64; ++index)
        if (!gpuAddAdapter(gpu, describeAdapter(*factory, index))) break;
    setReading(gpu.status, true);
}

void readSensors(GpuAdapter& adapter) {
    if (!shell.openAdapterFromLuid || !shell.queryAdapterInfo || !shell.closeAdapter)
        return gpuApplySensors(adapter, GpuSensorQuery::ThunksMissing, 0, 0);
    OpenAdapterFromLuidArgs opened = {};
    opened.adapterLuid.LowPart = adapter.luid.lowPart;
    opened.adapterLuid.HighPart = adapter.luid.highPart;
    if (shell.openAdapterFromLuid(&opened) < 0)
        return gpuApplySensors(adapter, GpuSensorQuery::OpenFailed, 0, 0);

    AdapterPerfData perf = {};
    const QueryAdapterInfoArgs request = {opened.adapter, adapterPerfDataType, &perf, sizeof(perf)};
    const LONG status = shell.queryAdapterInfo(&request);
    const CloseAdapterArgs closing = {opened.adapter};
    shell.closeAdapter(&closing);
    if (status < 0) return gpuApplySensors(adapter, GpuSensorQuery::QueryFailed, 0, 0);
    gpuApplySensors(adapter, GpuSensorQuery::Answered, perf.temperature, perf.fanRpm);
}

} // namespace

void gpuInit(GpuInfo& gpu, PdhQuery& gpuQuery) {
    shell = GpuShell{};
    shell.query = &gpuQuery;
    listAdapters(gpu);

    uint32_t status = 0;
    shell.engineCounter =
        pdhAddCounter(gpuQuery, L"\\GPU Engine(*)\\Utilization Percentage", &status);
    gpu.engineCounterReason.clear();
    if (!shell.engineCounter)
        gpu.engineCounterReason = L"Penghitung kinerja GPU tidak ada di Windows ini (" +
                                  pdhStatusText(status) +
                                  L"). Windows baru menyediakannya mulai versi 1709 dengan driver "
                                  L"WDDM 2.0 ke atas.";
    shell.dedicatedCounter = pdhAddCounter(gpuQuery, L"\\GPU Adapter Memory(*)\\Dedicated Usage");
    shell.sharedCounter = pdhAddCounter(gpuQuery, L"\\GPU Adapter Memory(*)\\Shared Usage");
}

void gpuUpdate(GpuInfo& gpu) {
    GpuCounterReads& reads = shell.reads;
    reads.engineCounterAdded = shell.engineCounter != nullptr;
    reads.engineRead = reads.dedicatedRead = reads.sharedRead = false;
    if (shell.query) {
        reads.engineRead = pdhReadArray(*shell.query, shell.engineCounter, reads.engines);
        reads.dedicatedRead = pdhReadArray(*shell.query, shell.dedicatedCounter, reads.dedicated);
        reads.sharedRead = pdhReadArray(*shell.query, shell.sharedCounter, reads.shared);
    }
    gpuApplyCounterReads(gpu, reads, shell.query ? shell.query->collects : 0);

    if (!shell.thunksResolved) {
        shell.thunksResolved = true;
        // gdi32 is in every GUI process already; it is looked up, never loaded.
        const HMODULE gdi32 = GetModuleHandleW(L"gdi32.dll");
        shell.openAdapterFromLuid =
            systemFunction<OpenAdapterFromLuidFunction>(gdi32, "D3DKMTOpenAdapterFromLuid");
        shell.queryAdapterInfo =
            systemFunction<QueryAdapterInfoFunction>(gdi32, "D3DKMTQueryAdapterInfo");
        shell.closeAdapter = systemFunction<CloseAdapterFunction>(gdi32, "D3DKMTCloseAdapter");
    }
    for (GpuAdapter& adapter : gpu.adapters)
        readSensors(adapter);
}

} // namespace ovra
