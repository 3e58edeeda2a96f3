#include "perf/unsupported.h"

namespace ovra {

Reading<bool> fanControlInfo() {
    Reading<bool> fan;
    setUnavailable(fan, Limitation::Unsupported,
                   L"Tidak ada antarmuka kontrol kipas resmi yang terdeteksi untuk perangkat ini. "
                   L"Windows tidak menyediakan API umum untuk mengatur kipas; kontrol hanya "
                   L"mungkin lewat SDK/WMI resmi produsen yang belum didukung Ovra Monitor. "
                   L"Kipas tetap dikelola otomatis oleh firmware (mode otomatis), dan Ovra "
                   L"Monitor tidak mengakses embedded controller atau register secara langsung.");
    return fan;
}

Reading<bool> overclockInfo(const std::wstring& processorName) {
    std::wstring reason =
        L"Windows tidak menyediakan antarmuka resmi untuk overclock. Overclock memerlukan "
        L"pengubahan BIOS/firmware, voltase, atau register prosesor, yang sengaja tidak dilakukan "
        L"Ovra Monitor.";
    // Case-sensitive on purpose: these are the brand names as the processor reports them.
    for (const wchar_t* locked : {L"Celeron", L"Pentium", L"Atom"}) {
        if (processorName.find(locked) != std::wstring::npos) {
            reason += L" Selain itu, prosesor " + processorName +
                      L" memiliki pengali yang dikunci pabrik.";
            break;
        }
    }
    Reading<bool> overclock;
    setUnavailable(overclock, Limitation::Unsupported, std::move(reason));
    return overclock;
}

} // namespace ovra
