#include "store/settings.h"

// Reading and writing settings.ini is not built yet: the defaults stay in effect.
namespace ovra {

const AlertKindInfo& alertKindInfo(AlertKind kind) {
    static const AlertKindInfo rows[alertKindCount] = {
        {L"CPU tinggi (selama 30 detik)", L"%", 50, 100, 5, 90, true},
        {L"RAM hampir penuh", L"%", 50, 98, 1, 85, true},
        {L"Ruang disk kosong di bawah", L"%", 2, 50, 1, 10, true},
        {L"Baterai lemah di bawah", L"%", 5, 50, 5, 15, true},
        {L"Suhu di atas", L"\u00B0C", 50, 100, 5, 85, true},
    };
    return rows[static_cast<int>(kind)];
}

void loadSettings(Settings&, const std::wstring&) {}
void saveSettings(const Settings&, const std::wstring&) {}
void writeSettingInt(const std::wstring&, const wchar_t*, int32_t) {}

} // namespace ovra
