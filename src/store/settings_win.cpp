#include "store/settings.h"

#include <windows.h>

#include "store/settings_fields.h"

namespace ovra {

void loadSettings(Settings& settings, const std::wstring& path) {
    const auto& fields = settingFields();
    for (size_t index = 0; index < fields.size(); ++index) {
        // The profile call returns the parsed signed value as a UINT: cast back.
        const UINT read = GetPrivateProfileIntW(settingsSection, fields[index].key.c_str(),
                                                settingValue(settings, index), path.c_str());
        setSettingValue(settings, index, static_cast<int32_t>(read));
    }
}

void saveSettings(const Settings& settings, const std::wstring& path) {
    const auto& fields = settingFields();
    for (size_t index = 0; index < fields.size(); ++index)
        writeSettingInt(path, fields[index].key.c_str(), settingValue(settings, index));
}

void writeSettingInt(const std::wstring& path, const wchar_t* key, int32_t value) {
    // A failed write leaves the in-memory settings in effect for this run.
    WritePrivateProfileStringW(settingsSection, key, std::to_wstring(value).c_str(), path.c_str());
}

} // namespace ovra
