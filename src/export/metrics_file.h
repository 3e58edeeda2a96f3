#pragma once
// The readings as a Prometheus text-exposition file, for a monitoring stack that
// collects the *.prom files of a folder (the textfile collector of windows_exporter).
// The program itself opens no network connection: it only writes this file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "health/alerts.h"
#include "health/findings.h"
#include "sources/network.h"
#include "sources/system_info.h"

namespace ovra {

// Everything one file is made of, read from the records as the pages draw them.
struct MetricsSnapshot {
    const CpuInfo& cpu;
    const MemoryInfo& memory;
    const NetworkInfo& network;
    const StorageInfo& storage;
    const BatteryInfo& battery;
    const ThermalInfo& thermal;
    const GpuInfo& gpu;
    const SystemInfo& system;
    const std::vector<Finding>& findings;
    const std::vector<Alert>& activeAlerts;
    bool powerChangeActive = false;
    int32_t temperatureLimit = 0; // the safety limit, degrees Celsius
    std::wstring user;            // the signed-in user, the label of every series
    std::wstring version;         // the program's version
    uint64_t time = 0;            // FILETIME (UTC) of the reading
};

// The file's text: HELP and TYPE before each family, a value the program cannot
// read left out and named in ovra_reading_unavailable; ends with a line feed.
std::string metricsText(const MetricsSnapshot& snapshot);

// A label value as the exposition format writes it: backslash, double quote and
// line feed escaped.
std::string escapeLabelValue(std::string_view utf8);

// "ovra_<user>.prom": letters, digits, '-' and '_' kept, anything else '_' and then
// a hash of the whole name, so two users never share a file.
std::wstring metricsFileName(const std::wstring& user);

// Writes `text` to folder\name complete or not at all: into a temporary name the
// collector ignores, then one replace. False with Windows' reason in `error`.
bool writeMetricsFile(const std::wstring& folder, const std::wstring& name, const std::string& text,
                      std::wstring& error);

} // namespace ovra
