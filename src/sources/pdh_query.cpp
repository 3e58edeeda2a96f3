#include "sources/pdh_query.h"

#include "sources/format.h"

namespace ovra {

std::wstring pdhStatusText(uint32_t status) {
    switch (status) {
    case 0x800007D1: return L"instans penghitung tidak ada";
    case 0xC0000BB8: return L"objek penghitung kinerja tidak ada";
    case 0xC0000BB9: return L"penghitung kinerja tidak ada";
    case 0xC0000BDB: return L"akses ke penghitung ditolak";
    default: return formatText(L"PDH 0x%08lX", static_cast<unsigned long>(status));
    }
}

void pdhValuesFromItems(const PdhItem* items, size_t count, std::vector<PdhInstanceValue>& values) {
    values.clear();
    if (!items) return;
    values.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const PdhItem& item = items[i];
        if (!pdhValueUsable(item.formatted.status)) continue;
        PdhInstanceValue& entry = values.emplace_back();
        if (item.name) entry.name = item.name;
        entry.value = item.formatted.value;
    }
}

} // namespace ovra
