#include "export/metrics_file.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "sources/utf8.h"

namespace ovra {

namespace {

using Labels = std::vector<std::pair<const char*, std::string>>;

// FILETIME of 1970-01-01, in 100-ns units since 1601.
constexpr uint64_t unixEpochFileTime = 116444736000000000ull;

const char* categoryName(Limitation limitation) {
    static const char* const names[] = {"none",    "measuring",   "sensor",     "firmware",
                                        "driver",  "windows_api", "permission", "hardware",
                                        "setting", "unsupported"};
    const auto index = static_cast<uint32_t>(limitation);
    return index < sizeof(names) / sizeof(names[0]) ? names[index] : "unsupported";
}

const char* alertKindName(AlertKind kind) {
    static const char* const names[alertKindCount] = {"cpu", "ram", "disk", "battery",
                                                      "temperature"};
    return names[static_cast<int>(kind)];
}

std::string number(double value) {
    if (std::isnan(value)) return "NaN";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text), value);
    return std::string(text, result.ptr);
}

// Writes families one after the other; a family's HELP and TYPE come with its first
// sample, so a family without samples leaves no trace.
class Exposition {
public:
    explicit Exposition(const std::wstring& user) : user_(escapeLabelValue(wideToUtf8(user))) {}

    void family(const char* name, const char* help) {
        name_ = name;
        help_ = help;
        headerWritten_ = false;
    }

    void sample(const Labels& labels, double value) {
        if (!headerWritten_) {
            text_ +=
                std::string("# HELP ") + name_ + ' ' + help_ + "\n# TYPE " + name_ + " gauge\n";
            headerWritten_ = true;
        }
        text_ += name_;
        text_ += "{user=\"" + user_ + '"';
        for (const auto& [key, value] : labels)
            text_ += std::string(",") + key + "=\"" + escapeLabelValue(value) + '"';
        text_ += "} " + number(value) + '\n';
    }

    // The current family's value (divided by `unit`: 100 turns percent into a ratio)
    // when the reading is there, else a line of ovra_reading_unavailable naming it.
    template <class T>
    void reading(const Reading<T>& reading, double unit, const Labels& labels = {}) {
        if (reading.ok)
            sample(labels, static_cast<double>(reading.value) / unit);
        else
            unavailable(reading.limitation, reading.reason(), labels);
    }

    void unavailable(Limitation limitation, const std::wstring& reason, const Labels& labels) {
        Labels line{{"reading", name_}, {"category", categoryName(limitation)}};
        if (!reason.empty()) line.emplace_back("reason", wideToUtf8(reason));
        line.insert(line.end(), labels.begin(), labels.end());
        missing_.push_back(std::move(line));
    }

    std::string finish() {
        family("ovra_reading_unavailable",
               "A reading the program cannot take now, with its limitation category.");
        for (const Labels& line : missing_)
            sample(line, 1);
        return std::move(text_);
    }

private:
    std::string user_;
    std::string text_;
    const char* name_ = "";
    const char* help_ = "";
    bool headerWritten_ = false;
    std::vector<Labels> missing_;
};

std::string utf8(const std::wstring& text) {
    return wideToUtf8(text);
}

void processorAndMemory(Exposition& out, const MetricsSnapshot& s) {
    out.family("ovra_cpu_usage_ratio", "Processor use over the last interval, 0 to 1.");
    out.reading(s.cpu.usage, 100);
    Reading<uint64_t> total, available;
    if (s.memory.ok) {
        setReading(total, s.memory.totalBytes);
        setReading(available, s.memory.availableBytes);
    } else {
        setUnavailable(total, Limitation::WindowsApi, L"Windows tidak memberi status memori.");
        setUnavailableAs(available, total);
    }
    out.family("ovra_memory_total_bytes", "Installed physical memory Windows can use.");
    out.reading(total, 1);
    out.family("ovra_memory_available_bytes", "Physical memory available.");
    out.reading(available, 1);
    out.family("ovra_memory_commit_bytes", "Commit charge.");
    out.reading(s.memory.commitTotal, 1);
    out.family("ovra_memory_commit_limit_bytes", "Commit limit.");
    out.reading(s.memory.commitLimit, 1);
}

void drives(Exposition& out, const MetricsSnapshot& s) {
    const auto labels = [](const Drive& drive) {
        return Labels{{"drive", std::string(1, static_cast<char>(drive.letter)) + ':'},
                      {"volume", utf8(drive.label)},
                      {"type", drive.driveType == 2 ? "removable" : "fixed"}};
    };
    const auto space = [&](const char* name, const char* help, uint64_t Drive::*field) {
        out.family(name, help);
        for (const Drive& drive : s.storage.drives) {
            Reading<uint64_t> value;
            if (drive.ready)
                setReading(value, drive.*field);
            else
                setUnavailable(value, Limitation::Hardware, L"Drive tidak siap.");
            out.reading(value, 1, labels(drive));
        }
    };
    space("ovra_drive_size_bytes", "Size of the drive.", &Drive::totalBytes);
    space("ovra_drive_free_bytes", "Free space of the drive.", &Drive::freeBytes);
    out.family("ovra_drive_read_bytes_per_second", "Bytes read from the drive per second.");
    for (const Drive& drive : s.storage.drives)
        out.reading(drive.readRate, 1, labels(drive));
    out.family("ovra_drive_write_bytes_per_second", "Bytes written to the drive per second.");
    for (const Drive& drive : s.storage.drives)
        out.reading(drive.writeRate, 1, labels(drive));
    out.family("ovra_disk_failure_predicted",
               "1 when the disk's storage driver predicts a failure (SMART), else 0.");
    for (const PhysicalDisk& disk : s.storage.disks)
        out.reading(disk.smart, 1,
                    {{"disk", std::to_string(disk.number)}, {"model", utf8(disk.model)}});
}

void network(Exposition& out, const MetricsSnapshot& s) {
    const NetworkInfo& net = s.network;
    const auto rate = [&](const char* name, const char* help, double NetworkAdapter::*field) {
        out.family(name, help);
        if (!net.status.ok) {
            out.unavailable(net.status.limitation, net.status.reason(), {});
            return;
        }
        for (const NetworkAdapter& adapter : net.adapters) {
            if (!adapter.up) continue;
            const Labels labels{{"adapter", utf8(adapter.alias)}};
            if (net.ratesValid)
                out.sample(labels, adapter.*field);
            else
                out.unavailable(Limitation::Measuring, L"", labels);
        }
    };
    rate("ovra_network_receive_bytes_per_second", "Bytes received per second by the adapter.",
         &NetworkAdapter::downloadRate);
    rate("ovra_network_transmit_bytes_per_second", "Bytes sent per second by the adapter.",
         &NetworkAdapter::uploadRate);
}

void battery(Exposition& out, const MetricsSnapshot& s) {
    // Without a battery the page says why once; so does each of its values here.
    const auto each = [&](const char* name, const char* help, const auto& reading, double unit) {
        out.family(name, help);
        if (s.battery.present)
            out.reading(reading, unit);
        else
            out.unavailable(s.battery.presenceReason.empty() ? Limitation::Measuring
                                                             : Limitation::Hardware,
                            s.battery.presenceReason, {});
    };
    each("ovra_battery_charge_ratio", "Battery charge, 0 to 1.", s.battery.percent, 100);
    each("ovra_battery_capacity_ratio",
         "Full-charge capacity against the design capacity (wear), 0 to 1.", s.battery.health, 100);
    each("ovra_battery_cycle_count", "Charge cycles the battery reports.", s.battery.cycleCount, 1);
}

void temperatures(Exposition& out, const MetricsSnapshot& s) {
    out.family("ovra_temperature_celsius", "Temperature of an ACPI thermal zone.");
    if (!s.thermal.status.ok)
        out.unavailable(s.thermal.status.limitation, s.thermal.status.reason(), {});
    for (const ThermalZone& zone : s.thermal.zones)
        out.sample({{"zone", utf8(zone.name)}}, zone.celsius);
    out.family("ovra_gpu_temperature_celsius", "Temperature the graphics driver reports.");
    for (size_t index = 0; index < s.gpu.adapters.size(); ++index)
        out.reading(
            s.gpu.adapters[index].temperature, 1,
            {{"gpu", std::to_string(index)}, {"adapter", utf8(s.gpu.adapters[index].name)}});
    out.family("ovra_hottest_temperature_celsius",
               "The hottest official temperature (thermal zones and graphics adapters).");
    out.reading(hottestOfficialTemperature(s.thermal, s.gpu), 1);
    out.family("ovra_temperature_limit_celsius",
               "The safety limit that ends a power-setting change.");
    out.sample({}, s.temperatureLimit);
}

void graphics(Exposition& out, const MetricsSnapshot& s) {
    const auto each = [&](const char* name, const char* help, Reading<double> GpuAdapter::*field,
                          double unit) {
        out.family(name, help);
        for (size_t index = 0; index < s.gpu.adapters.size(); ++index)
            out.reading(
                s.gpu.adapters[index].*field, unit,
                {{"gpu", std::to_string(index)}, {"adapter", utf8(s.gpu.adapters[index].name)}});
    };
    each("ovra_gpu_usage_ratio", "Use of the busiest engine type, 0 to 1.", &GpuAdapter::usage,
         100);
    each("ovra_gpu_dedicated_memory_used_bytes", "Dedicated video memory in use.",
         &GpuAdapter::dedicatedUsed, 1);
    each("ovra_gpu_shared_memory_used_bytes", "Shared system memory in use by the adapter.",
         &GpuAdapter::sharedUsed, 1);
}

void health(Exposition& out, const MetricsSnapshot& s) {
    out.family("ovra_findings", "Findings on the summary page, by severity.");
    for (const auto& [severity, name] : {std::pair{FindingSeverity::Warning, "warning"},
                                         std::pair{FindingSeverity::Critical, "critical"}}) {
        double count = 0;
        for (const Finding& finding : s.findings)
            count += finding.severity == severity ? 1 : 0;
        out.sample({{"severity", name}}, count);
    }
    out.family("ovra_alert_active", "1 while the alert's condition holds, else 0.");
    for (int kind = 0; kind < alertKindCount; ++kind) {
        double active = 0;
        for (const Alert& alert : s.activeAlerts)
            active = static_cast<int>(alert.kind) == kind ? 1 : active;
        out.sample({{"kind", alertKindName(static_cast<AlertKind>(kind))}}, active);
    }
    out.family("ovra_power_change_active",
               "1 while a power-setting change of the program is in force, else 0.");
    out.sample({}, s.powerChangeActive ? 1 : 0);
}

} // namespace

std::string escapeLabelValue(std::string_view utf8Text) {
    std::string escaped;
    escaped.reserve(utf8Text.size());
    for (const char c : utf8Text) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

std::string metricsText(const MetricsSnapshot& s) {
    Exposition out(s.user);
    out.family("ovra_info", "The program's and Windows' versions; always 1.");
    out.sample({{"version", utf8(s.version)},
                {"windows", utf8(s.system.osName)},
                {"windows_version", utf8(s.system.osVersion)}},
               1);
    out.family("ovra_reading_timestamp_seconds", "When these readings were taken, Unix time.");
    out.sample({}, static_cast<double>((s.time - unixEpochFileTime) / 10000) / 1000);
    processorAndMemory(out, s);
    drives(out, s);
    network(out, s);
    battery(out, s);
    temperatures(out, s);
    graphics(out, s);
    health(out, s);
    return out.finish();
}

std::wstring metricsFileName(const std::wstring& user) {
    std::wstring safe;
    bool changed = user.empty();
    uint32_t hash = 2166136261u; // FNV-1a over the UTF-16 units
    for (const wchar_t c : user) {
        hash = (hash ^ static_cast<uint32_t>(c)) * 16777619u;
        const bool kept = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                          (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
        safe += kept ? c : L'_';
        changed = changed || !kept;
    }
    if (changed) {
        safe += L'_';
        for (int shift = 28; shift >= 0; shift -= 4)
            safe += L"0123456789abcdef"[(hash >> shift) & 15];
    }
    return L"ovra_" + safe + L".prom";
}

} // namespace ovra
