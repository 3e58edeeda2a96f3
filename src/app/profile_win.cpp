#include <windows.h>

#include "app/profile.h"

namespace ovra {

namespace {

// Any non-empty value switches the profile on; the buffer only has to show that
// something is there (a longer value answers its needed size, also non-zero).
ProfileStats startProfile() {
    ProfileStats stats;
    wchar_t value[8];
    stats.enabled = GetEnvironmentVariableW(L"OVRA_PROFILE", value, 8) != 0;
    LARGE_INTEGER frequency{};
    if (stats.enabled && QueryPerformanceFrequency(&frequency))
        stats.frequency = frequency.QuadPart;
    if (stats.frequency <= 0) stats.enabled = false;
    return stats;
}

} // namespace

ProfileStats profileStats = startProfile();

int64_t profileClockNow() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void ProfileScope::finish() {
    const double milliseconds =
        double(profileClockNow() - start_) * 1000.0 / double(profileStats.frequency);
    if (profileRecord(profileStats, section_, milliseconds)) writeProfileFile(profileStats);
}

void writeProfileFile(const ProfileStats& stats) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return;
    const std::wstring path = std::wstring(folder, length) + L"ovra-profile.txt";
    const std::string text = profileReportText(stats);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace ovra
