#pragma once
// The user's choices, kept in settings.ini (section "umum") in the data folder.
#include <array>
#include <cstdint>
#include <string>

namespace ovra {

// The five alert kinds; the number is the array index and the digit in the keys.
enum class AlertKind : int32_t { Cpu = 0, Ram = 1, Disk = 2, Battery = 3, Temperature = 4 };
inline constexpr int alertKindCount = 5;

struct AlertKindInfo {
    const wchar_t* label; // shown beside the threshold on the settings page
    const wchar_t* unit;
    int32_t minimum;
    int32_t maximum;
    int32_t step;
    int32_t defaultThreshold;
    bool defaultEnabled;
};

const AlertKindInfo& alertKindInfo(AlertKind kind);

// The window's frame when the program last ended, in screen pixels, and the
// monitor layout it ended on (a signature of the monitors' rectangles; 0: none).
struct WindowPlace {
    int32_t layout = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool maximised = false;
};

struct Settings {
    int32_t theme = 2; // 0 light, 1 dark, 2 follow Windows
    int32_t fastIntervalMs = 2000;
    int32_t slowIntervalMs = 10000;
    int32_t processMode = 1; // 0 off, 1 every 3 s, 2 every 10 s
    bool saveHistory = false;
    bool notifications = true;
    int32_t historyRangeMinutes = 15;
    std::array<bool, alertKindCount> alertEnabled{true, true, true, true, true};
    std::array<int32_t, alertKindCount> alertThreshold{90, 85, 10, 15, 85};
    int32_t safetyLimit = 85; // degrees Celsius
    bool exportMetrics = false; // the readings as a Prometheus file in metricsFolder
    std::wstring metricsFolder{};
};

// The range the safety limit is kept in, in degrees Celsius.
inline constexpr int32_t lowestSafetyLimit = 60;
inline constexpr int32_t highestSafetyLimit = 95;

// Reads every key, each falling back to the field's current value and clamped
// into its range. A missing file leaves the defaults.
void loadSettings(Settings& settings, const std::wstring& path);

// Writes every key; keys a user added by hand stay untouched.
void saveSettings(const Settings& settings, const std::wstring& path);

// Keys after the table's: the metrics export ("ekspor_metrik", "folder_metrik").
inline constexpr wchar_t exportMetricsKey[] = L"ekspor_metrik";
inline constexpr wchar_t metricsFolderKey[] = L"folder_metrik";

// The window's place, kept after every other key and read as written; a place
// with no layout is not written.
void loadWindowPlace(WindowPlace& place, const std::wstring& path);
void saveWindowPlace(const WindowPlace& place, const std::wstring& path);

// Writes one integer key into section "umum".
void writeSettingInt(const std::wstring& path, const wchar_t* key, int32_t value);

} // namespace ovra
