// Physical disks: descriptor decoding, the failure prediction and the probe.
#include "sources/storage.h"
#include "sources/format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace ovra {
namespace {

void putField(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A STORAGE_DEVICE_DESCRIPTOR with its strings after the fixed part.
std::vector<unsigned char> descriptor(const char* vendor, const char* product, uint32_t busType) {
    std::vector<unsigned char> bytes(40, 0);
    auto append = [&bytes](const char* text) -> uint32_t {
        if (!text) return 0;
        const uint32_t at = static_cast<uint32_t>(bytes.size());
        for (const char* c = text; *c; ++c)
            bytes.push_back(static_cast<unsigned char>(*c));
        bytes.push_back(0);
        return at;
    };
    const uint32_t vendorAt = append(vendor);
    const uint32_t productAt = append(product);
    putField(bytes, 4, static_cast<uint32_t>(bytes.size()));
    putField(bytes, 12, vendorAt);
    putField(bytes, 16, productAt);
    putField(bytes, 28, busType);
    return bytes;
}

DescriptorText decode(const std::vector<unsigned char>& bytes) {
    return physicalDiskFromDescriptor(bytes.data(), bytes.size());
}

TEST(Descriptor, VendorAndProductAreJoinedAndTrimmed) {
    DescriptorText text = decode(descriptor("ATA     ", "  Samsung SSD 870  ", 11));
    EXPECT_EQ(text.model, L"ATA Samsung SSD 870");
    EXPECT_EQ(text.busType, L"SATA");

    // An empty vendor leaves the product alone; offset 0 means "not given".
    EXPECT_EQ(decode(descriptor("", "WD Blue", 3)).model, L"WD Blue");
    EXPECT_EQ(decode(descriptor(nullptr, "WD Blue", 3)).model, L"WD Blue");
    EXPECT_EQ(decode(descriptor(nullptr, nullptr, 17)).model, L"");

    // The interface: both virtual types share a text, gaps in the numbering are "other".
    EXPECT_EQ(decode(descriptor("V", "P", 17)).busType, L"NVMe");
    EXPECT_EQ(decode(descriptor("V", "P", 15)).busType, L"Virtual");
    for (uint32_t other : {0u, 2u, 9u, 16u, 18u})
        EXPECT_EQ(busTypeText(other), L"Lainnya") << other;
}

TEST(Descriptor, BytesOutsideTheAnswerAreNeverRead) {
    std::vector<unsigned char> bytes = descriptor("Vendor", "Product", 7);
    // The product offset points exactly at the end of the returned bytes, the
    // vendor offset far past it.
    putField(bytes, 16, static_cast<uint32_t>(bytes.size()));
    putField(bytes, 12, 0xFFFFFFF0u);
    EXPECT_EQ(decode(bytes).model, L"");

    // A string without its terminator ends with the returned data.
    std::vector<unsigned char> cut = descriptor(nullptr, "Product", 7);
    cut.pop_back(); // the NUL
    cut.pop_back(); // the 't'
    EXPECT_EQ(decode(cut).model, L"Produc");

    // Too short to hold the bus type or the offsets: nothing is known.
    const std::vector<unsigned char> full = descriptor("V", "P", 7);
    DescriptorText shortText = physicalDiskFromDescriptor(full.data(), 20);
    EXPECT_EQ(shortText.model, L"");
    EXPECT_EQ(shortText.busType, L"");
    EXPECT_EQ(physicalDiskFromDescriptor(full.data(), 0).busType, L"");
    EXPECT_EQ(physicalDiskFromDescriptor(nullptr, 100).model, L"");
}

TEST(Descriptor, NonAsciiBytesWidenOneToOne) {
    const DescriptorText text = decode(descriptor("\xC4\xFF", "Disk\xE9", 7));
    EXPECT_EQ(text.model, std::wstring(L"\u00C4\u00FF Disk\u00E9"));
}

TEST(SmartReading, OutcomesBecomeValuesOrTheirReason) {
    Reading<bool> smart;
    smartFromPrediction(smart, true, 0, 0);
    EXPECT_TRUE(smart.ok);
    EXPECT_FALSE(smart.value);
    smartFromPrediction(smart, true, 1, 0);
    EXPECT_TRUE(smart.ok);
    EXPECT_TRUE(smart.value);
    EXPECT_EQ(smart.limitation, Limitation::None);

    smartFromPrediction(smart, false, 1, 5);
    EXPECT_FALSE(smart.ok);
    EXPECT_FALSE(smart.value);
    EXPECT_EQ(smart.limitation, Limitation::Permission);
    EXPECT_EQ(smart.reason, L"Membaca status SMART memerlukan hak administrator. Jalankan Ovra "
                            L"Monitor sebagai administrator lalu tekan \"Periksa SMART\".");

    smartFromPrediction(smart, false, 0, 50);
    EXPECT_EQ(smart.limitation, Limitation::Driver);
    EXPECT_EQ(smart.reason, L"Driver penyimpanan tidak mendukung laporan prediksi kegagalan SMART "
                            L"(umum pada USB, kartu SD/eMMC, dan sebagian NVMe). " +
                                windowsErrorText(50));
}

// A machine of disks for the probe: which numbers open, what each answers, and
// a log of the calls made.
struct FakeDisks {
    std::set<int32_t> present;
    std::set<int32_t> needsAdmin; // answers the prediction only when opened for read/write
    bool elevated = false;        // the read/write open succeeds
    uint32_t predictError = 0;    // 0: the prediction is answered
    uint32_t flag = 0;
    std::vector<unsigned char> descriptorBytes;
    bool descriptorOk = true;

    int32_t current = -1;
    bool currentReadWrite = false;
    int openHandles = 0;
    std::vector<std::wstring> log;

    DiskCalls calls() {
        DiskCalls c;
        c.open = [this](int32_t number, bool readWrite, uint32_t& error) {
            log.push_back(L"open " + std::to_wstring(number) + (readWrite ? L" rw" : L""));
            if (!present.count(number) || (readWrite && !elevated)) {
                error = present.count(number) ? 5 : 2;
                return false;
            }
            current = number;
            currentReadWrite = readWrite;
            ++openHandles;
            return true;
        };
        c.queryDescriptor = [this](std::vector<unsigned char>& bytes) {
            bytes = descriptorBytes;
            return descriptorOk;
        };
        c.predictFailure = [this](uint32_t& answer, uint32_t& error) {
            log.push_back(L"predict " + std::to_wstring(current));
            if (needsAdmin.count(current) && !currentReadWrite) {
                error = 5;
                return false;
            }
            if (predictError) {
                error = predictError;
                return false;
            }
            answer = flag;
            return true;
        };
        c.close = [this] {
            --openHandles;
            current = -1;
        };
        return c;
    }

    std::vector<int32_t> opened() const {
        std::vector<int32_t> numbers;
        for (const std::wstring& entry : log) {
            if (entry.rfind(L"open ", 0) == 0 && entry.find(L"rw") == std::wstring::npos)
                numbers.push_back(std::stoi(entry.substr(5)));
        }
        return numbers;
    }
};

std::vector<int32_t> numbersOf(const std::vector<PhysicalDisk>& disks) {
    std::vector<int32_t> numbers;
    for (const PhysicalDisk& disk : disks)
        numbers.push_back(disk.number);
    return numbers;
}

TEST(SmartProbe, GapsUpToSevenAreCrossedAndEightMissesStop) {
    FakeDisks machine;
    machine.present = {0, 3, 12};
    const std::vector<PhysicalDisk> disks = physicalDisksProbe(machine.calls());
    EXPECT_EQ(numbersOf(disks), (std::vector<int32_t>{0, 3}));
    // 4 to 11 are the eight misses; 12 is never tried.
    EXPECT_EQ(machine.opened().back(), 11);
    EXPECT_EQ(machine.openHandles, 0);

    FakeDisks none;
    EXPECT_TRUE(physicalDisksProbe(none.calls()).empty());
    EXPECT_EQ(none.opened().size(), 8u);

    // Every number below 32 is tried when the disks never stop.
    FakeDisks crowded;
    for (int32_t n = 0; n < 40; ++n)
        crowded.present.insert(n);
    EXPECT_EQ(physicalDisksProbe(crowded.calls()).size(), 32u);
}

TEST(SmartProbe, DisksAreNamedFromTheirDescriptorOrTheirNumber) {
    FakeDisks machine;
    machine.present = {0};
    machine.descriptorBytes = descriptor("", "NVMe Disk X", 17);
    std::vector<PhysicalDisk> disks = physicalDisksProbe(machine.calls());
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].model, L"NVMe Disk X");
    EXPECT_EQ(disks[0].busType, L"NVMe");
    EXPECT_TRUE(disks[0].smart.ok);

    // The disk vanished after it opened: every control fails.
    machine.descriptorOk = false;
    machine.descriptorBytes.clear();
    machine.predictError = 21; // ERROR_NOT_READY
    disks = physicalDisksProbe(machine.calls());
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].model, L"Disk 0");
    EXPECT_EQ(disks[0].busType, L"");
    EXPECT_FALSE(disks[0].smart.ok);
    EXPECT_EQ(disks[0].smart.limitation, Limitation::Driver);
}

TEST(SmartProbe, AccessDeniedRetriesWithReadWriteAccess) {
    FakeDisks machine;
    machine.present = {0};
    machine.needsAdmin = {0};
    machine.flag = 1;

    // Not elevated: the second open is refused and the rights are named.
    std::vector<PhysicalDisk> disks = physicalDisksProbe(machine.calls());
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].smart.limitation, Limitation::Permission);
    EXPECT_EQ(machine.openHandles, 0);
    EXPECT_NE(std::find(machine.log.begin(), machine.log.end(), L"open 0 rw"), machine.log.end());

    // Elevated: the retried control answers, and a predicted failure is reported.
    machine.elevated = true;
    machine.log.clear();
    disks = physicalDisksProbe(machine.calls());
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_TRUE(disks[0].smart.ok);
    EXPECT_TRUE(disks[0].smart.value);
    EXPECT_EQ(machine.openHandles, 0);

    // The retried control fails otherwise: its error is the one reported.
    machine.predictError = 50;
    disks = physicalDisksProbe(machine.calls());
    EXPECT_EQ(disks[0].smart.limitation, Limitation::Driver);

    // A driver error other than access denied is not retried.
    machine.needsAdmin.clear();
    machine.predictError = 50;
    machine.log.clear();
    disks = physicalDisksProbe(machine.calls());
    EXPECT_EQ(disks[0].smart.limitation, Limitation::Driver);
    EXPECT_EQ(std::find(machine.log.begin(), machine.log.end(), L"open 0 rw"), machine.log.end());
}

TEST(SmartOnThisSystem, CheckFinishesWithAReadingOrAReasonForEveryDisk) {
    StorageInfo storage;
    smartCheck(storage);
    EXPECT_NE(storage.lastSmartCheck, 0u);
    EXPECT_FALSE(storage.drives.empty()); // the check refreshes the drives as well
    for (size_t i = 0; i < storage.disks.size(); ++i) {
        const PhysicalDisk& disk = storage.disks[i];
        if (i > 0) {
            EXPECT_LT(storage.disks[i - 1].number, disk.number);
        }
        EXPECT_FALSE(disk.model.empty());
        EXPECT_NE(disk.smart.limitation, Limitation::Measuring) << disk.number;
        EXPECT_EQ(disk.smart.ok, disk.smart.reason.empty());
        EXPECT_EQ(disk.letters, driveLettersText(storage.drives, disk.number));
    }
}

} // namespace
} // namespace ovra
