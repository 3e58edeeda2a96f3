// Physical disks: descriptor decoding, the failure prediction and the probe over
// disk numbers. The Windows calls are handed in (smart_win.cpp).

#include "sources/format.h"
#include "sources/storage.h"

namespace ovra {

namespace {

constexpr uint32_t accessDenied = 5; // ERROR_ACCESS_DENIED
constexpr int32_t diskNumberLimit = 32;
constexpr int consecutiveMissesToStop = 8;

// STORAGE_DEVICE_DESCRIPTOR: the offsets of the fields read here.
constexpr size_t vendorIdOffsetField = 12;
constexpr size_t productIdOffsetField = 16;
constexpr size_t busTypeField = 28;

// A little-endian 32-bit field, or nothing when it lies past the returned bytes.
bool readField(const unsigned char* bytes, size_t size, size_t at, uint32_t& value) {
    if (size < 4 || at > size - 4) return false;
    value = uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
            uint32_t(bytes[at + 3]) << 24;
    return true;
}

// The text a descriptor offset points at: up to the first NUL or the end of the
// returned bytes, each byte one character.
std::wstring descriptorString(const unsigned char* bytes, size_t size, size_t offsetField) {
    uint32_t offset = 0;
    if (!readField(bytes, size, offsetField, offset) || offset == 0 || offset >= size) return {};
    std::wstring text;
    for (size_t i = offset; i < size && bytes[i] != 0; ++i)
        text += static_cast<wchar_t>(bytes[i]);
    return trimText(text);
}

// The failure-prediction reading for a control's outcome: the flag when it
// succeeded, else the final Windows error.
void smartFromPrediction(Reading<bool>& smart, bool ok, uint32_t flag, uint32_t error) {
    if (ok) {
        setReading(smart, flag != 0);
    } else if (error == accessDenied) {
        setUnavailable(smart, Limitation::Permission,
                       L"Membaca status SMART memerlukan hak administrator. Jalankan Ovra Monitor "
                       L"sebagai administrator lalu tekan \"Periksa SMART\".");
    } else {
        setUnavailable(smart, Limitation::Driver,
                       L"Driver penyimpanan tidak mendukung laporan prediksi kegagalan SMART "
                       L"(umum pada USB, kartu SD/eMMC, dan sebagian NVMe). ",
                       windowsErrorText(error));
    }
}

} // namespace

std::wstring busTypeText(uint32_t busType) {
    switch (busType) {
    case 1: return L"SCSI";
    case 3: return L"ATA";
    case 7: return L"USB";
    case 8: return L"RAID";
    case 10: return L"SAS";
    case 11: return L"SATA";
    case 12: return L"SD";
    case 13: return L"eMMC";
    case 14:
    case 15: return L"Virtual";
    case 17: return L"NVMe";
    default: return L"Lainnya";
    }
}

DescriptorText physicalDiskFromDescriptor(const unsigned char* bytes, size_t size) {
    DescriptorText result;
    if (!bytes) return result;
    const std::wstring vendor = descriptorString(bytes, size, vendorIdOffsetField);
    const std::wstring product = descriptorString(bytes, size, productIdOffsetField);
    result.model = trimText(vendor + L" " + product);
    uint32_t busType = 0;
    if (readField(bytes, size, busTypeField, busType)) result.busType = busTypeText(busType);
    return result;
}

std::vector<PhysicalDisk> physicalDisksProbe(const DiskCalls& calls) {
    std::vector<PhysicalDisk> disks;
    std::vector<unsigned char> descriptor;
    int misses = 0;
    for (int32_t number = 0; number < diskNumberLimit; ++number) {
        uint32_t error = 0;
        if (!calls.open(number, false, error)) {
            if (++misses == consecutiveMissesToStop) break;
            continue;
        }
        misses = 0;

        PhysicalDisk disk;
        disk.number = number;
        descriptor.clear();
        if (calls.queryDescriptor(descriptor)) {
            const DescriptorText text =
                physicalDiskFromDescriptor(descriptor.data(), descriptor.size());
            disk.model = text.model;
            disk.busType = text.busType;
        }
        if (disk.model.empty()) disk.model = L"Disk " + std::to_wstring(number);

        uint32_t flag = 0;
        bool predicted = calls.predictFailure(flag, error);
        calls.close();
        // Some drivers answer the prediction only to a handle opened for reading and
        // writing, which needs administrator rights.
        if (!predicted && error == accessDenied) {
            if (calls.open(number, true, error)) {
                predicted = calls.predictFailure(flag, error);
                calls.close();
            }
        }
        smartFromPrediction(disk.smart, predicted, flag, error);
        disks.push_back(std::move(disk));
    }
    return disks;
}

} // namespace ovra
