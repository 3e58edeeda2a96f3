#include "sources/thermal.h"

namespace ovra {

namespace {

// The zone counter of the thermal query and the scratch of its reads.
struct ThermalShell {
    PdhQuery* query = nullptr;
    PdhCounter counter = nullptr; // "\Thermal Zone Information(*)\Temperature"
    std::vector<PdhInstanceValue> scratch;
};
ThermalShell shell;

} // namespace

void thermalInit(ThermalInfo& thermal, PdhQuery& thermalQuery) {
    shell = ThermalShell{};
    shell.query = &thermalQuery;
    uint32_t status = 0;
    shell.counter =
        pdhAddCounter(thermalQuery, L"\\Thermal Zone Information(*)\\Temperature", &status);
    thermal.counterReason.clear();
    if (!shell.counter)
        thermal.counterReason = L"Penghitung \"Thermal Zone Information\" tidak tersedia (" +
                                pdhStatusText(status) + L").";
    setUnavailable(thermal.cpuCoreTemp, Limitation::Unsupported,
                   L"Windows tidak menyediakan API resmi untuk suhu inti CPU. Pembacaan langsung "
                   L"memerlukan driver kernel pihak ketiga (akses register MSR) yang tidak "
                   L"dipakai Ovra Monitor demi keamanan.");
    setUnavailable(thermal.cpuFan, Limitation::Firmware,
                   L"Kipas CPU/sistem dikendalikan firmware (embedded controller) dan tidak "
                   L"diekspos melalui API Windows standar. Antarmuka ACPI untuk kipas jarang "
                   L"diisi oleh produsen.");
    setUnavailable(thermal.status, Limitation::Measuring, L"");
}

void thermalUpdate(ThermalInfo& thermal) {
    // A failed read leaves the list empty, which the core reports like no zone.
    if (!shell.counter || !shell.query || !pdhReadArray(*shell.query, shell.counter, shell.scratch))
        shell.scratch.clear();
    thermalApplyInstances(thermal, shell.counter != nullptr, shell.scratch);
}

} // namespace ovra
