#pragma once
// The opt-in timing profile of paints and ticks. It is on only when the
// environment variable "OVRA_PROFILE" holds a non-empty value at start-up; then
// every 20th paint rewrites "ovra-profile.txt" in the temporary folder. When it is
// off a scope costs one test of a flag and reads no clock.
#include <cstdint>
#include <string>

namespace ovra {

enum class ProfileSection : int { paint = 0, fastTick = 1, slowTick = 2, processTick = 3 };
inline constexpr int profileSectionCount = 4;
inline constexpr int32_t profilePaintsPerReport = 20;

// Cumulative statistics since start; never reset.
struct ProfileStats {
    bool enabled = false;
    int64_t frequency = 0; // performance-counter ticks per second
    int32_t count[profileSectionCount] = {};
    double total[profileSectionCount] = {};   // milliseconds
    double maximum[profileSectionCount] = {}; // milliseconds
};

// The process-wide statistics, set up before the entry function runs.
extern ProfileStats profileStats;

// Adds one measurement; true when this one completes a 20th paint, so the
// report is due. Ticks never make it due: they are reported at the next one.
bool profileRecord(ProfileStats& stats, ProfileSection section, double milliseconds);

// The report: one ASCII line per section, CRLF line ends, no byte-order mark.
std::string profileReportText(const ProfileStats& stats);

// Rewrites the report in the temporary folder; a failure writes nothing.
void writeProfileFile(const ProfileStats& stats);

int64_t profileClockNow();

// Measures the enclosing block for one section, also when it is left early.
class ProfileScope {
public:
    explicit ProfileScope(ProfileSection section)
        : section_(section), start_(profileStats.enabled ? profileClockNow() : 0) {}
    ~ProfileScope() {
        if (profileStats.enabled) finish();
    }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    void finish();
    ProfileSection section_;
    int64_t start_;
};

} // namespace ovra
