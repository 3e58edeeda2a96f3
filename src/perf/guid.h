#pragma once
// Power plans and power settings are named by GUIDs. The recovery file keeps them
// as text in the registry form "{381B4222-F694-41F0-9685-FF5BB260DF2E}".
#include <cstdint>
#include <string>

namespace ovra {

// The 16 bytes of a Windows GUID, field by field as Windows lays them out.
struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};

// All 16 bytes are equal.
bool operator==(const Guid& a, const Guid& b);

// Upper-case hexadecimal inside braces.
std::wstring guidToText(const Guid& guid);

// Accepts upper- and lower-case hexadecimal; the braces and hyphens must be there
// and all eleven fields must convert. `guid` is meaningful only on success.
bool guidFromText(const std::wstring& text, Guid& guid);

// Windows' published identifiers of the processor settings, the one setting this
// program changes (its value is a percentage) and the Balanced plan ("Seimbang").
inline constexpr Guid processorSettingsSubgroup{
    0x54533251, 0x82BE, 0x4824, {0x96, 0xC1, 0x47, 0xB6, 0x0B, 0x74, 0x0D, 0x00}};
inline constexpr Guid maximumProcessorState{
    0xBC5038F7, 0x23E0, 0x4960, {0x96, 0xDA, 0x33, 0xAB, 0xAF, 0x59, 0x35, 0xEC}};
inline constexpr Guid balancedPlan{
    0x381B4222, 0xF694, 0x41F0, {0x96, 0x85, 0xFF, 0x5B, 0xB2, 0x60, 0xDF, 0x2E}};

} // namespace ovra
