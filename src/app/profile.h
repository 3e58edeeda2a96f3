#pragma once
// The opt-in timing profile of paints and ticks. Not built yet: a scope costs
// nothing and measures nothing.
namespace ovra {

enum class ProfileSection : int { paint = 0, fastTick = 1, slowTick = 2, processTick = 3 };

class ProfileScope {
public:
    explicit ProfileScope(ProfileSection) {}
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;
};

} // namespace ovra
