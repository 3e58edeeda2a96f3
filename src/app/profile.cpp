#include "app/profile.h"

#include <algorithm>
#include <cstdio>

namespace ovra {

namespace {

constexpr const char* sectionNames[profileSectionCount] = {"gambar", "sampel_cepat",
                                                           "sampel_lambat", "sampel_proses"};

} // namespace

bool profileRecord(ProfileStats& stats, ProfileSection section, double milliseconds) {
    const int index = static_cast<int>(section);
    if (index < 0 || index >= profileSectionCount) return false;
    stats.count[index] += 1;
    stats.total[index] += milliseconds;
    stats.maximum[index] = std::max(stats.maximum[index], milliseconds);
    return section == ProfileSection::paint && stats.count[index] % profilePaintsPerReport == 0;
}

std::string profileReportText(const ProfileStats& stats) {
    std::string text;
    for (int index = 0; index < profileSectionCount; ++index) {
        const int32_t count = stats.count[index];
        const double average = count > 0 ? stats.total[index] / count : 0.0;
        char line[160];
        const int length = std::snprintf(
            line, sizeof line, "%-14s n=%5d rata2=%7.2f ms maks=%7.2f ms\r\n", sectionNames[index],
            static_cast<int>(count), average, stats.maximum[index]);
        if (length > 0) text.append(line, std::min<size_t>(size_t(length), sizeof line - 1));
    }
    return text;
}

} // namespace ovra
