#include "sources/gpu.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace ovra {

namespace {

constexpr uint32_t softwareAdapterFlag = 2; // DXGI_ADAPTER_FLAG_SOFTWARE
constexpr uint32_t microsoftVendor = 0x1414;
constexpr uint32_t basicRenderDevice = 0x8C;

constexpr wchar_t memoryCounterMissing[] = L"Penghitung memori GPU tidak tersedia.";
constexpr wchar_t memoryNotReported[] = L"Driver tidak melaporkan pemakaian memori GPU.";
constexpr wchar_t engineNotReported[] = L"Driver grafis tidak melaporkan penggunaan mesin GPU.";
constexpr wchar_t sensorsUnavailable[] =
    L"Windows ini tidak menyediakan data suhu/kipas GPU. Data ini hanya ada pada Windows 10 "
    L"versi baru dengan driver grafis yang mendukung (WDDM 2.4 ke atas).";
constexpr wchar_t adapterNotOpened[] = L"Adapter grafis tidak dapat dibuka untuk kueri.";
constexpr wchar_t temperatureNotReported[] =
    L"Driver grafis tidak melaporkan suhu (umum pada GPU terintegrasi).";
constexpr wchar_t fanNotReported[] =
    L"Driver grafis tidak melaporkan kecepatan kipas (GPU tanpa kipas sendiri, atau kipas "
    L"berhenti pada mode senyap).";

bool sameLuid(const GpuLuid& a, const GpuLuid& b) {
    return a.lowPart == b.lowPart && a.highPart == b.highPart;
}

bool keepAdapter(const GpuInfo& gpu, const GpuEnumAnswer& answer) {
    if (answer.flags & softwareAdapterFlag) return false;
    if (answer.vendorId == microsoftVendor && answer.deviceId == basicRenderDevice) return false;
    return std::none_of(gpu.adapters.begin(), gpu.adapters.end(),
                        [&](const GpuAdapter& known) { return sameLuid(known.luid, answer.luid); });
}

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Reads a 32-bit hexadecimal number at `at`; at least one digit, and a value that
// does not fit the LUID part matches nothing.
bool parseHex32(std::wstring_view text, size_t& at, uint32_t& value) {
    uint64_t parsed = 0;
    const size_t start = at;
    for (; at < text.size() && hexDigit(text[at]) >= 0; ++at) {
        parsed = parsed * 16 + static_cast<uint64_t>(hexDigit(text[at]));
        if (parsed > 0xFFFFFFFFull) return false;
    }
    value = static_cast<uint32_t>(parsed);
    return at > start;
}

std::wstring_view engineTypeView(std::wstring_view name) {
    constexpr std::wstring_view marker = L"engtype_";
    const size_t at = name.find(marker);
    if (at == std::wstring_view::npos) return L"?";
    return name.substr(at + marker.size());
}

// The counter instance belongs to the adapter: its name holds "luid_0x<high>_0x<low>".
bool gpuInstanceMatches(const std::wstring& instanceName, const GpuLuid& luid) {
    constexpr std::wstring_view marker = L"luid_0x";
    constexpr std::wstring_view separator = L"_0x";
    const std::wstring_view name = instanceName;
    size_t at = name.find(marker);
    if (at == std::wstring_view::npos) return false;
    at += marker.size();
    uint32_t high = 0, low = 0;
    if (!parseHex32(name, at, high)) return false;
    if (name.substr(at, separator.size()) != separator) return false;
    at += separator.size();
    if (!parseHex32(name, at, low)) return false;
    return high == static_cast<uint32_t>(luid.highPart) && low == luid.lowPart;
}

// Sums the values of the adapter's instances; false when none belongs to it.
bool sumMatching(const std::vector<PdhInstanceValue>& values, const GpuLuid& luid, double& sum) {
    bool matched = false;
    sum = 0;
    for (const PdhInstanceValue& instance : values) {
        if (!gpuInstanceMatches(instance.name, luid)) continue;
        sum += instance.value;
        matched = true;
    }
    return matched;
}

void applyMemory(Reading<double>& used, bool readOk, const std::vector<PdhInstanceValue>& values,
                 const GpuAdapter& adapter, const std::wstring& engineCounterReason) {
    if (!readOk) {
        if (engineCounterReason.empty())
            setUnavailable(used, Limitation::WindowsApi, memoryCounterMissing);
        else
            setUnavailable(used, Limitation::WindowsApi, engineCounterReason);
        return;
    }
    double sum = 0;
    if (sumMatching(values, adapter.luid, sum))
        setReading(used, sum);
    else
        setUnavailable(used, Limitation::Driver, memoryNotReported);
}

// Per engine type, the use of every process and every physical engine adds up;
// the busiest type is the adapter's use. `sums` is scratch reused across adapters.
void applyUsage(GpuAdapter& adapter, const std::vector<PdhInstanceValue>& engines,
                std::vector<std::pair<std::wstring_view, double>>& sums) {
    sums.clear();
    for (const PdhInstanceValue& instance : engines) {
        if (!gpuInstanceMatches(instance.name, adapter.luid)) continue;
        const std::wstring_view type = engineTypeView(instance.name);
        auto found = std::find_if(sums.begin(), sums.end(),
                                  [&](const auto& entry) { return entry.first == type; });
        if (found == sums.end())
            sums.emplace_back(type, instance.value);
        else
            found->second += instance.value;
    }
    if (sums.empty()) {
        setUnavailable(adapter.usage, Limitation::Driver, engineNotReported);
        return;
    }
    double busiest = 0;
    for (const auto& entry : sums)
        busiest = std::max(busiest, entry.second);
    setReading(adapter.usage, std::min(busiest, 100.0));
}

} // namespace

bool gpuAddAdapter(GpuInfo& gpu, const GpuEnumAnswer& answer) {
    if (answer.result < 0 || !answer.adapterGiven) return false;
    if (!answer.describedOk || !keepAdapter(gpu, answer)) return true;
    GpuAdapter& kept = gpu.adapters.emplace_back();
    kept.name = answer.name;
    kept.luid = answer.luid;
    kept.dedicatedTotal = answer.dedicatedVideoMemory;
    kept.sharedTotal = answer.sharedSystemMemory;
    return true;
}

void gpuApplyCounterReads(GpuInfo& gpu, const GpuCounterReads& reads, uint32_t collects) {
    std::vector<std::pair<std::wstring_view, double>> sums;
    for (GpuAdapter& adapter : gpu.adapters) {
        if (!reads.engineCounterAdded) {
            setUnavailable(adapter.usage, Limitation::WindowsApi, gpu.engineCounterReason);
        } else if (collects >= 2) {
            // Utilization is a rate: the first collection alone gives no value.
            if (reads.engineRead)
                applyUsage(adapter, reads.engines, sums);
            else
                setUnavailable(adapter.usage, Limitation::Driver, engineNotReported);
        }
        applyMemory(adapter.dedicatedUsed, reads.dedicatedRead, reads.dedicated, adapter,
                    gpu.engineCounterReason);
        applyMemory(adapter.sharedUsed, reads.sharedRead, reads.shared, adapter,
                    gpu.engineCounterReason);
    }
}

void gpuApplySensors(GpuAdapter& adapter, GpuSensorQuery query, uint32_t temperatureTenths,
                     uint32_t fanRpm) {
    if (query != GpuSensorQuery::Answered) {
        const bool notOpened = query == GpuSensorQuery::OpenFailed;
        const Limitation limitation = notOpened ? Limitation::Driver : Limitation::WindowsApi;
        const wchar_t* reason = notOpened ? adapterNotOpened : sensorsUnavailable;
        setUnavailable(adapter.temperature, limitation, reason);
        setUnavailable(adapter.fanRpm, limitation, reason);
        return;
    }
    const double celsius = temperatureTenths / 10.0;
    if (temperatureTenths != 0 && celsius <= 125.0)
        setReading(adapter.temperature, celsius);
    else
        setUnavailable(adapter.temperature, Limitation::Driver, temperatureNotReported);
    if (fanRpm >= 1 && fanRpm <= 19999)
        setReading(adapter.fanRpm, fanRpm);
    else
        setUnavailable(adapter.fanRpm, Limitation::Driver, fanNotReported);
}

} // namespace ovra
