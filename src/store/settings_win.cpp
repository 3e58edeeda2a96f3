#include "store/settings.h"

#include <windows.h>

#include "store/settings_fields.h"

namespace ovra {

namespace {

// The window's place, after every other key of the file.
template <class Use> void withPlaceKeys(WindowPlace& place, Use&& use) {
    int32_t maximised = place.maximised ? 1 : 0;
    use(L"jendela_tata_letak", place.layout);
    use(L"jendela_kiri", place.left);
    use(L"jendela_atas", place.top);
    use(L"jendela_lebar", place.width);
    use(L"jendela_tinggi", place.height);
    use(L"jendela_maksimal", maximised);
    place.maximised = maximised > 0;
}

} // namespace

void loadSettings(Settings& settings, const std::wstring& path) {
    const auto& fields = settingFields();
    for (size_t index = 0; index < fields.size(); ++index) {
        // The profile call returns the parsed signed value as a UINT: cast back.
        const UINT read = GetPrivateProfileIntW(settingsSection, fields[index].key.c_str(),
                                                settingValue(settings, index), path.c_str());
        setSettingValue(settings, index, static_cast<int32_t>(read));
    }
    settings.exportMetrics =
        static_cast<int32_t>(GetPrivateProfileIntW(settingsSection, exportMetricsKey,
                                                   settings.exportMetrics, path.c_str())) > 0;
    std::wstring folder(MAX_PATH * 4, L'\0');
    folder.resize(GetPrivateProfileStringW(settingsSection, metricsFolderKey,
                                           settings.metricsFolder.c_str(), folder.data(),
                                           static_cast<DWORD>(folder.size()), path.c_str()));
    settings.metricsFolder = folder;
}

void loadWindowPlace(WindowPlace& place, const std::wstring& path) {
    withPlaceKeys(place, [&](const wchar_t* key, int32_t& value) {
        value =
            static_cast<int32_t>(GetPrivateProfileIntW(settingsSection, key, value, path.c_str()));
    });
}

void saveSettings(const Settings& settings, const std::wstring& path) {
    const auto& fields = settingFields();
    for (size_t index = 0; index < fields.size(); ++index)
        writeSettingInt(path, fields[index].key.c_str(), settingValue(settings, index));
    writeSettingInt(path, exportMetricsKey, settings.exportMetrics ? 1 : 0);
    WritePrivateProfileStringW(settingsSection, metricsFolderKey, settings.metricsFolder.c_str(),
                               path.c_str());
}

void saveWindowPlace(const WindowPlace& kept, const std::wstring& path) {
    if (kept.layout == 0) return;
    WindowPlace place = kept;
    withPlaceKeys(place,
                  [&](const wchar_t* key, int32_t& value) { writeSettingInt(path, key, value); });
}

void writeSettingInt(const std::wstring& path, const wchar_t* key, int32_t value) {
    // A failed write leaves the in-memory settings in effect for this run.
    WritePrivateProfileStringW(settingsSection, key, std::to_wstring(value).c_str(), path.c_str());
}

} // namespace ovra
