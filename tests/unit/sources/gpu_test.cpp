// GPU adapters: enumeration, counters matched by LUID, driver sensors, and the
// real DXGI, PDH and thunks that Wine offers.
#include "sources/gpu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "harness.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ovra {
namespace {

constexpr int32_t dxgiNotFound = static_cast<int32_t>(0x887A0002);
constexpr int32_t genericFailure = static_cast<int32_t>(0x80004005);

GpuEnumAnswer hardware(const wchar_t* name, uint32_t low, int32_t high) {
    GpuEnumAnswer answer;
    answer.adapterGiven = true;
    answer.describedOk = true;
    answer.name = name;
    answer.vendorId = 0x10DE;
    answer.deviceId = 0x2484;
    answer.luid = GpuLuid{low, high};
    answer.dedicatedVideoMemory = 8ull << 30;
    answer.sharedSystemMemory = 16ull << 30;
    return answer;
}

GpuEnumAnswer ending(int32_t result) {
    GpuEnumAnswer answer;
    answer.result = result;
    return answer;
}

// Enumerates a fixed list of answers; `calls` counts how often DXGI was asked.
std::vector<GpuAdapter> enumerate(const std::vector<GpuEnumAnswer>& answers, uint32_t* calls,
                                  GpuEnumAnswer past = ending(dxgiNotFound)) {
    GpuInfo gpu;
    uint32_t asked = 0;
    gpuEnumerateAdapters(gpu, [&](uint32_t index) {
        ++asked;
        return index < answers.size() ? answers[index] : past;
    });
    EXPECT_TRUE(gpu.status.ok);
    if (calls) *calls = asked;
    return gpu.adapters;
}

TEST(GpuEnumeration, KeepsHardwareAdaptersOnceInDxgiOrder) {
    GpuEnumAnswer software = hardware(L"WARP", 7, 0);
    software.flags = 2;
    GpuEnumAnswer basicRender = hardware(L"Microsoft Basic Render Driver", 8, 0);
    basicRender.vendorId = 0x1414;
    basicRender.deviceId = 0x8C;
    GpuEnumAnswer undescribed = hardware(L"broken", 9, 0);
    undescribed.describedOk = false;
    GpuEnumAnswer otherMicrosoft = hardware(L"Microsoft other", 10, 0);
    otherMicrosoft.vendorId = 0x1414; // only device 0x8C is the basic render driver

    uint32_t calls = 0;
    const std::vector<GpuAdapter> adapters = enumerate(
        {hardware(L"GPU A", 0x1234, 0), software, basicRender, undescribed,
         hardware(L"GPU A again", 0x1234, 0), hardware(L"GPU B", 0x1234, 1), otherMicrosoft},
        &calls);
    EXPECT_EQ(calls, 8u); // the answer "not found" after the last one ends it
    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(adapters[0].name, L"GPU A");
    EXPECT_EQ(adapters[0].dedicatedTotal, 8ull << 30);
    EXPECT_EQ(adapters[0].sharedTotal, 16ull << 30);
    EXPECT_EQ(adapters[1].name, L"GPU B"); // same low part, other high part: another adapter
    EXPECT_EQ(adapters[2].name, L"Microsoft other");
    EXPECT_EQ(adapters[0].usage.limitation, Limitation::Measuring);
    EXPECT_EQ(adapters[0].fanRpm.limitation, Limitation::Measuring);
}

TEST(GpuEnumeration, AnyFailureOrMissingAdapterEndsTheLoop) {
    uint32_t calls = 0;
    EXPECT_EQ(enumerate({hardware(L"GPU", 1, 0), ending(genericFailure), hardware(L"after", 2, 0)},
                        &calls)
                  .size(),
              1u);
    EXPECT_EQ(calls, 2u);

    GpuEnumAnswer nullAdapter; // success, but no adapter came back
    EXPECT_EQ(enumerate({nullAdapter, hardware(L"after", 2, 0)}, &calls).size(), 0u);
    EXPECT_EQ(calls, 1u);

    // A driver that answers success for every index is cut at the cap.
    EXPECT_EQ(enumerate({}, &calls, hardware(L"same", 3, 0)).size(), 1u);
    EXPECT_EQ(calls, gpuMaxEnumerationIndex);
}

TEST(GpuEnumeration, DxgiFailuresAreExplained) {
    GpuInfo gpu;
    gpuApplyDxgiFailure(gpu, GpuDxgiFailure::LibraryMissing);
    EXPECT_FALSE(gpu.status.ok);
    EXPECT_EQ(gpu.status.limitation, Limitation::WindowsApi);
    EXPECT_EQ(gpu.status.reason, L"dxgi.dll tidak dapat dimuat.");
    gpuApplyDxgiFailure(gpu, GpuDxgiFailure::FactoryFailed);
    EXPECT_EQ(gpu.status.reason, L"CreateDXGIFactory1 gagal.");
}

TEST(GpuInstanceName, MatchesTheLuidByValue) {
    const GpuLuid luid{0xC3A1, 0};
    EXPECT_TRUE(
        gpuInstanceMatches(L"pid_1234_luid_0x00000000_0x0000C3A1_phys_0_eng_0_engtype_3D", luid));
    EXPECT_TRUE(gpuInstanceMatches(L"luid_0x0_0xc3a1_phys_0", luid));
    EXPECT_FALSE(gpuInstanceMatches(L"luid_0x00000000_0x0000C3A2_phys_0", luid));
    EXPECT_FALSE(gpuInstanceMatches(L"luid_0x00000001_0x0000C3A1_phys_0", luid));
    EXPECT_FALSE(gpuInstanceMatches(L"pid_1234_phys_0_eng_0_engtype_3D", luid)); // no LUID
    EXPECT_FALSE(gpuInstanceMatches(L"luid_0x00000000", luid));                  // one part only
    EXPECT_FALSE(gpuInstanceMatches(L"luid_0x_0xC3A1", luid));                   // no digits
    EXPECT_FALSE(gpuInstanceMatches(L"luid_0x100000000_0xC3A1", luid));          // too wide

    // A negative high part is written as its 32-bit pattern; the first LUID counts.
    EXPECT_TRUE(gpuInstanceMatches(L"luid_0xFFFFFFFF_0x00000005_x_luid_0x0_0x6", GpuLuid{5, -1}));
}

TEST(GpuInstanceName, EngineTypeIsTheTextAfterEngtype) {
    EXPECT_EQ(gpuEngineType(L"pid_4_luid_0x0_0x1_phys_0_eng_3_engtype_VideoDecode"),
              L"VideoDecode");
    EXPECT_EQ(gpuEngineType(L"pid_4_luid_0x0_0x1_phys_0_eng_3"), L"?");
    EXPECT_EQ(gpuEngineType(L"engtype_"), L"");
}

struct CounterCase {
    GpuInfo gpu;
    GpuCounterReads reads;

    CounterCase() {
        GpuAdapter first;
        first.luid = GpuLuid{0xC3A1, 0};
        GpuAdapter second;
        second.luid = GpuLuid{0x51, 0};
        gpu.adapters = {first, second};
        reads = GpuCounterReads{true, true, true, true};
    }
    GpuAdapter& first() { return gpu.adapters[0]; }
    GpuAdapter& second() { return gpu.adapters[1]; }
};

std::wstring engine(const wchar_t* luid, int pid, const wchar_t* type) {
    return L"pid_" + std::to_wstring(pid) + L"_" + luid + L"_phys_0_eng_0_engtype_" + type;
}

TEST(GpuUsage, BusiestEngineTypeSumsEveryProcessAndIsCappedAt100) {
    CounterCase c;
    const wchar_t* first = L"luid_0x00000000_0x0000C3A1";
    const wchar_t* second = L"luid_0x0_0x51";
    c.gpu.engineValues = {{engine(first, 10, L"3D"), 30},      {engine(first, 11, L"3D"), 25},
                          {engine(first, 12, L"Copy"), 40},    {engine(second, 10, L"3D"), 70},
                          {engine(second, 11, L"3D"), 45},     {L"pid_9_engtype_3D", 99},
                          {L"pid_9_" + std::wstring(first), 5}};
    gpuApplyCounterReads(c.gpu, c.reads, 2);
    ASSERT_TRUE(c.first().usage.ok);
    EXPECT_DOUBLE_EQ(c.first().usage.value, 55); // 3D 30+25 beats Copy 40; "?" is 5
    EXPECT_DOUBLE_EQ(c.second().usage.value, 100);

    // An adapter no instance names is the driver's silence, not zero use.
    c.gpu.engineValues = {{engine(first, 10, L"3D"), 12}};
    gpuApplyCounterReads(c.gpu, c.reads, 3);
    EXPECT_DOUBLE_EQ(c.first().usage.value, 12);
    EXPECT_FALSE(c.second().usage.ok);
    EXPECT_EQ(c.second().usage.limitation, Limitation::Driver);
    EXPECT_EQ(c.second().usage.reason, L"Driver grafis tidak melaporkan penggunaan mesin GPU.");
    EXPECT_EQ(c.second().usage.value, 0);

    c.reads.engineRead = false;
    gpuApplyCounterReads(c.gpu, c.reads, 4);
    EXPECT_EQ(c.first().usage.limitation, Limitation::Driver);
}

TEST(GpuUsage, MeasuresOnlyFromTheSecondCollection) {
    CounterCase c;
    c.gpu.engineValues = {{engine(L"luid_0x0_0xC3A1", 1, L"3D"), 20}};
    gpuApplyCounterReads(c.gpu, c.reads, 1);
    EXPECT_FALSE(c.first().usage.ok);
    EXPECT_EQ(c.first().usage.limitation, Limitation::Measuring);
    gpuApplyCounterReads(c.gpu, c.reads, 2);
    EXPECT_TRUE(c.first().usage.ok);
    // A failed collection afterwards leaves the count, and so the value, alone.
    c.gpu.engineValues[0].value = 60;
    gpuApplyCounterReads(c.gpu, c.reads, 2);
    EXPECT_DOUBLE_EQ(c.first().usage.value, 60);
}

TEST(GpuMemory, SumsTheAdaptersInstancesInBytes) {
    CounterCase c;
    c.gpu.dedicatedValues = {{L"luid_0x00000000_0x0000C3A1_phys_0", 1.5e9},
                             {L"luid_0x00000000_0x0000C3A1_phys_1", 0.5e9},
                             {L"luid_0x00000000_0x00000099_phys_0", 7e9}};
    c.gpu.sharedValues = {{L"luid_0x0_0x51_phys_0", 3e8}};
    gpuApplyCounterReads(c.gpu, c.reads, 1);
    ASSERT_TRUE(c.first().dedicatedUsed.ok);
    EXPECT_DOUBLE_EQ(c.first().dedicatedUsed.value, 2e9);
    EXPECT_FALSE(c.second().dedicatedUsed.ok);
    EXPECT_EQ(c.second().dedicatedUsed.limitation, Limitation::Driver);
    EXPECT_EQ(c.second().dedicatedUsed.reason, L"Driver tidak melaporkan pemakaian memori GPU.");
    EXPECT_DOUBLE_EQ(c.second().sharedUsed.value, 3e8);
    EXPECT_EQ(c.first().sharedUsed.limitation, Limitation::Driver);

    c.reads.sharedRead = false;
    gpuApplyCounterReads(c.gpu, c.reads, 1);
    EXPECT_EQ(c.second().sharedUsed.limitation, Limitation::WindowsApi);
    EXPECT_EQ(c.second().sharedUsed.reason, L"Penghitung memori GPU tidak tersedia.");
}

TEST(GpuCounters, MissingEngineCounterExplainsUseAndFailedMemoryReads) {
    CounterCase c;
    gpuApplyEngineCounterSetup(c.gpu, false, 0xC0000BB8);
    const std::wstring reason =
        L"Penghitung kinerja GPU tidak ada di Windows ini (objek penghitung kinerja tidak ada). "
        L"Windows baru menyediakannya mulai versi 1709 dengan driver WDDM 2.0 ke atas.";
    EXPECT_EQ(c.gpu.engineCounterReason, reason);

    c.reads = GpuCounterReads{}; // no counter added, no read succeeded
    gpuApplyCounterReads(c.gpu, c.reads, 5);
    for (const GpuAdapter& adapter : c.gpu.adapters) {
        for (const Reading<double>* reading :
             {&adapter.usage, &adapter.dedicatedUsed, &adapter.sharedUsed}) {
            EXPECT_FALSE(reading->ok);
            EXPECT_EQ(reading->limitation, Limitation::WindowsApi);
            EXPECT_EQ(reading->reason, reason);
        }
    }
    gpuApplyEngineCounterSetup(c.gpu, true, 0);
    EXPECT_TRUE(c.gpu.engineCounterReason.empty());
}

TEST(GpuSensors, PlausibleDriverValuesOnly) {
    GpuAdapter adapter;
    gpuApplySensors(adapter, GpuSensorQuery::Answered, 1250, 19999);
    EXPECT_TRUE(adapter.temperature.ok);
    EXPECT_DOUBLE_EQ(adapter.temperature.value, 125.0);
    EXPECT_TRUE(adapter.fanRpm.ok);
    EXPECT_EQ(adapter.fanRpm.value, 19999u);

    const std::wstring noTemperature =
        L"Driver grafis tidak melaporkan suhu (umum pada GPU terintegrasi).";
    const std::wstring noFan = L"Driver grafis tidak melaporkan kecepatan kipas (GPU tanpa kipas "
                               L"sendiri, atau kipas berhenti pada mode senyap).";
    for (const auto& [tenths, rpm] : {std::pair<uint32_t, uint32_t>{0, 0}, {1260, 20000}}) {
        gpuApplySensors(adapter, GpuSensorQuery::Answered, tenths, rpm);
        EXPECT_FALSE(adapter.temperature.ok) << tenths;
        EXPECT_EQ(adapter.temperature.limitation, Limitation::Driver);
        EXPECT_EQ(adapter.temperature.reason, noTemperature);
        EXPECT_FALSE(adapter.fanRpm.ok) << rpm;
        EXPECT_EQ(adapter.fanRpm.value, 0u);
        EXPECT_EQ(adapter.fanRpm.reason, noFan);
    }
    gpuApplySensors(adapter, GpuSensorQuery::Answered, 1, 1);
    EXPECT_DOUBLE_EQ(adapter.temperature.value, 0.1);
    EXPECT_EQ(adapter.fanRpm.value, 1u);
}

TEST(GpuSensors, ThunkFailuresAreExplained) {
    const std::wstring unavailable =
        L"Windows ini tidak menyediakan data suhu/kipas GPU. Data ini hanya ada pada Windows 10 "
        L"versi baru dengan driver grafis yang mendukung (WDDM 2.4 ke atas).";
    const std::pair<GpuSensorQuery, Limitation> cases[] = {
        {GpuSensorQuery::ThunksMissing, Limitation::WindowsApi},
        {GpuSensorQuery::QueryFailed, Limitation::WindowsApi},
        {GpuSensorQuery::OpenFailed, Limitation::Driver}};
    for (const auto& [query, limitation] : cases) {
        GpuAdapter adapter;
        gpuApplySensors(adapter, query, 500, 1000); // raw values of a failed query mean nothing
        EXPECT_FALSE(adapter.temperature.ok);
        EXPECT_FALSE(adapter.fanRpm.ok);
        EXPECT_EQ(adapter.temperature.limitation, limitation);
        EXPECT_EQ(adapter.fanRpm.limitation, limitation);
        EXPECT_EQ(adapter.temperature.reason,
                  query == GpuSensorQuery::OpenFailed
                      ? L"Adapter grafis tidak dapat dibuka untuk kueri."
                      : unavailable);
        EXPECT_EQ(adapter.fanRpm.reason, adapter.temperature.reason);
    }
}

// The real DXGI, counters and thunks of this system: each value is measured or
// carries the reason that a direct call to the same function explains.
TEST(GpuOnThisSystem, EveryValueIsMeasuredOrExplained) {
    PdhQuery query;
    GpuInfo gpu;
    gpuInit(gpu, query);
    pdhCollect(query);
    gpuUpdate(gpu);

    if (gpu.status.ok) {
        std::set<std::pair<uint32_t, int32_t>> luids;
        for (const GpuAdapter& adapter : gpu.adapters) {
            EXPECT_FALSE(adapter.name.empty());
            EXPECT_TRUE(luids.insert({adapter.luid.lowPart, adapter.luid.highPart}).second);
        }
    } else {
        EXPECT_EQ(gpu.status.limitation, Limitation::WindowsApi);
        EXPECT_TRUE(gpu.adapters.empty());
    }

    PdhQuery direct;
    uint32_t status = 0;
    const bool counterExists =
        pdhAddCounter(direct, L"\\GPU Engine(*)\\Utilization Percentage", &status) != nullptr;
    pdhClose(direct);
    EXPECT_EQ(gpu.engineCounter != nullptr, counterExists);
    if (!counterExists) {
        EXPECT_NE(gpu.engineCounterReason.find(L"(" + pdhStatusText(status) + L")"),
                  std::wstring::npos);
    }

    const bool thunksExist =
        GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "D3DKMTOpenAdapterFromLuid") &&
        GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "D3DKMTQueryAdapterInfo") &&
        GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "D3DKMTCloseAdapter");
    for (const GpuAdapter& adapter : gpu.adapters) {
        if (!counterExists) {
            EXPECT_EQ(adapter.usage.reason, gpu.engineCounterReason);
        }
        for (const Reading<double>* reading :
             {&adapter.dedicatedUsed, &adapter.sharedUsed, &adapter.temperature})
            EXPECT_EQ(reading->ok, reading->reason.empty());
        EXPECT_NE(adapter.temperature.limitation, Limitation::Measuring);
        EXPECT_NE(adapter.fanRpm.limitation, Limitation::Measuring);
        if (!thunksExist) {
            EXPECT_EQ(adapter.temperature.limitation, Limitation::WindowsApi);
        }
    }
    pdhClose(query);
}

// The simulated PC's GPU counters, keyed to the adapter Wine's DXGI reports under
// a display, read through the real enumeration, counters and shell.
class SimulatedGpu : public test::SimulatedPc {
protected:
    void SetUp() override {
        test::SimulatedPc::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        PdhQuery scratch;
        GpuInfo probe;
        gpuInit(probe, scratch);
        pdhClose(scratch);
        if (probe.adapters.empty()) {
            if (GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0)
                GTEST_SKIP() << "DXGI lists adapters only with a display";
            FAIL() << "DXGI listed no hardware adapter under a display";
        }
        luid = probe.adapters[0].luid;
    }
    void TearDown() override {
        pdhClose(query);
        test::SimulatedPc::TearDown();
    }

    // "luid_0x00000000_0x000003F0", as Windows writes it in instance names.
    std::string luidText() const {
        char text[32];
        std::snprintf(text, sizeof text, "luid_0x%08X_0x%08X", static_cast<unsigned>(luid.highPart),
                      luid.lowPart);
        return text;
    }
    static std::string engineLine(const std::string& luid, int pid, const char* type,
                                  const char* value) {
        return "\\GPU Engine(pid_" + std::to_string(pid) + "_" + luid + "_phys_0_eng_0_engtype_" +
               type + ")\\Utilization Percentage = " + value + "\n";
    }
    static std::string memoryLine(const std::string& luid, const char* counter, const char* value) {
        return "\\GPU Adapter Memory(" + luid + "_phys_0)\\" + counter + " = " + value + "\n";
    }

    GpuLuid luid;
    PdhQuery query;
    GpuInfo gpu;
};

TEST_F(SimulatedGpu, UseAndMemoryOfTheAdapterComeFromItsCounters) {
    const std::string other = "luid_0x00000000_0x0BADF00D";
    setMachine(engineLine(luidText(), 10, "3D", "30") + engineLine(luidText(), 11, "3D", "25") +
               engineLine(luidText(), 10, "Copy", "40") + engineLine(other, 10, "3D", "90") +
               memoryLine(luidText(), "Dedicated Usage", "1073741824") + "\\GPU Adapter Memory(" +
               luidText() + "_phys_1)\\Dedicated Usage = 536870912\n" +
               memoryLine(luidText(), "Shared Usage", "268435456"));
    gpuInit(gpu, query);
    ASSERT_NE(gpu.engineCounter, nullptr);
    ASSERT_EQ(gpu.adapters.size(), 1u);
    const GpuAdapter& adapter = gpu.adapters[0];

    pdhCollect(query);
    gpuUpdate(gpu);
    EXPECT_EQ(adapter.usage.limitation, Limitation::Measuring); // a rate needs two collections
    ASSERT_TRUE(adapter.dedicatedUsed.ok);
    EXPECT_DOUBLE_EQ(adapter.dedicatedUsed.value, 1610612736.0);
    ASSERT_TRUE(adapter.sharedUsed.ok);
    EXPECT_DOUBLE_EQ(adapter.sharedUsed.value, 268435456.0);

    pdhCollect(query);
    gpuUpdate(gpu);
    ASSERT_TRUE(adapter.usage.ok);
    EXPECT_DOUBLE_EQ(adapter.usage.value, 55); // 3D 30 + 25; the other LUID's 90 is not its

    // The driver stops naming this adapter: its silence is explained, not read as 0.
    setMachine(engineLine(other, 10, "3D", "30") + memoryLine(other, "Dedicated Usage", "1") +
               memoryLine(other, "Shared Usage", "1"));
    pdhCollect(query);
    pdhCollect(query);
    gpuUpdate(gpu);
    EXPECT_EQ(adapter.usage.limitation, Limitation::Driver);
    EXPECT_EQ(adapter.dedicatedUsed.limitation, Limitation::Driver);
    EXPECT_EQ(adapter.sharedUsed.limitation, Limitation::Driver);
}

} // namespace
} // namespace ovra
