#include "sources/answers_win.h"

#include <algorithm>

#include "sources/system_library.h"

namespace ovra {

namespace {

// iphlpapi.dll is not one of the libraries Windows always takes from the system
// folder, so it is bound at run time from there rather than imported.
struct IpHelper {
    decltype(&GetIfTable2) getIfTable2 = nullptr;
    decltype(&FreeMibTable) freeMibTable = nullptr;
    DWORD missing = NO_ERROR; // why the functions are absent
};

const IpHelper& ipHelper() {
    static const IpHelper bound = [] {
        IpHelper api;
        HMODULE module = loadSystemLibrary(L"iphlpapi.dll"); // kept for the process's life
        api.getIfTable2 = systemFunction<decltype(&GetIfTable2)>(module, "GetIfTable2");
        api.freeMibTable = systemFunction<decltype(&FreeMibTable)>(module, "FreeMibTable");
        if (!module)
            api.missing = ERROR_MOD_NOT_FOUND;
        else if (!api.getIfTable2 || !api.freeMibTable)
            api.missing = ERROR_PROC_NOT_FOUND;
        return api;
    }();
    return bound;
}

// The table's strings are fixed arrays; the terminator is searched within them so
// a full array cannot run past its end.
template <size_t N> void assignBounded(std::wstring& target, const wchar_t (&source)[N]) {
    target.assign(source, std::find(source, source + N, L'\0'));
}

// The copy of the interface table, reused from update to update: once the
// table's size and names settle, copying it allocates nothing.
std::vector<NetworkRow> rows;

} // namespace

void networkRowFromAnswer(NetworkRow& row, const MIB_IF_ROW2& mib) {
    row.luid = mib.InterfaceLuid.Value;
    assignBounded(row.alias, mib.Alias);
    assignBounded(row.description, mib.Description);
    row.receiveLinkBps = mib.ReceiveLinkSpeed;
    row.transmitLinkBps = mib.TransmitLinkSpeed;
    row.type = static_cast<uint32_t>(mib.Type);
    row.operationalUp = mib.OperStatus == IfOperStatusUp;
    row.hardwareInterface = mib.InterfaceAndOperStatusFlags.HardwareInterface != 0;
    row.filterInterface = mib.InterfaceAndOperStatusFlags.FilterInterface != 0;
    row.inOctets = mib.InOctets;
    row.outOctets = mib.OutOctets;
}

void networkUpdate(NetworkInfo& network) {
    const IpHelper& api = ipHelper();
    if (api.missing != NO_ERROR) {
        networkFail(network, api.missing);
        return;
    }
    MIB_IF_TABLE2* table = nullptr;
    const DWORD result = api.getIfTable2(&table);
    if (result != NO_ERROR || !table) {
        if (table) api.freeMibTable(table);
        networkFail(network, result);
        return;
    }
    const uint64_t now = GetTickCount64();

    rows.resize(table->NumEntries);
    for (ULONG i = 0; i < table->NumEntries; ++i)
        networkRowFromAnswer(rows[i], table->Table[i]);
    api.freeMibTable(table);

    networkApply(network, rows, now);
}

} // namespace ovra
