// Drives and their disk activity: listing rules, rates from counter instances.
#include "sources/storage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace ovra {
namespace {

Drive driveOn(wchar_t letter, int32_t diskNumber) {
    Drive drive;
    drive.letter = letter;
    drive.diskNumber = diskNumber;
    return drive;
}

StorageInfo withDrives(std::initializer_list<wchar_t> letters) {
    StorageInfo storage;
    for (wchar_t letter : letters)
        storage.drives.push_back(driveOn(letter, 0));
    return storage;
}

TEST(DriveList, SystemLetterComesFromTheWindowsFolderWithCAsFallback) {
    EXPECT_EQ(systemDriveLetter(L"d:\\Windows"), L'D');
    EXPECT_EQ(systemDriveLetter(L"C:\\WINDOWS"), L'C');
    EXPECT_EQ(systemDriveLetter(L""), L'C');
}

TEST(DriveList, ReadyVolumeCarriesItsAnswerAndADiskOnlyForDiskDevices) {
    VolumeAnswer answer;
    answer.letter = L'E';
    answer.driveType = 2;
    answer.spaceOk = true;
    answer.totalBytes = 64ull << 30;
    answer.totalFreeBytes = 10ull << 30;
    answer.label = L"USB";
    answer.fileSystem = L"exFAT";
    answer.deviceNumberOk = true;
    answer.deviceType = 7; // FILE_DEVICE_DISK
    answer.deviceNumber = 3;
    Drive drive = driveFromVolume(answer, L'C');
    EXPECT_EQ(drive.letter, L'E');
    EXPECT_EQ(drive.driveType, 2u);
    EXPECT_TRUE(drive.ready);
    EXPECT_FALSE(drive.isSystem);
    EXPECT_EQ(drive.totalBytes, 64ull << 30);
    EXPECT_EQ(drive.freeBytes, 10ull << 30);
    EXPECT_EQ(drive.label, L"USB");
    EXPECT_EQ(drive.fileSystem, L"exFAT");
    EXPECT_EQ(drive.diskNumber, 3);
    EXPECT_EQ(drive.readRate.limitation, Limitation::Measuring);
    EXPECT_TRUE(driveFromVolume(answer, L'E').isSystem);

    answer.deviceType = 2; // a CD-ROM device type: not a physical disk of ours
    EXPECT_EQ(driveFromVolume(answer, L'C').diskNumber, -1);
    answer.deviceNumberOk = false;
    answer.deviceType = 7;
    EXPECT_EQ(driveFromVolume(answer, L'C').diskNumber, -1);

    // An empty card reader: listed, not ready, nothing read from the volume.
    VolumeAnswer empty;
    empty.letter = L'F';
    empty.driveType = 2;
    empty.label = L"stale";
    drive = driveFromVolume(empty, L'C');
    EXPECT_FALSE(drive.ready);
    EXPECT_EQ(drive.totalBytes, 0u);
    EXPECT_TRUE(drive.label.empty());
}

TEST(DriveList, RefreshKeepsRatesOfDrivesListedBeforeAndRebuildsDiskLetters) {
    StorageInfo storage = withDrives({L'C', L'E'});
    setReading(storage.drives[0].readRate, 1000.0);
    setUnavailable(storage.drives[1].writeRate, Limitation::WindowsApi, L"why");
    PhysicalDisk disk0, disk1;
    disk0.number = 0;
    disk1.number = 1;
    disk1.letters = L"X:";
    storage.disks = {disk0, disk1};

    drivesApply(storage, {driveOn(L'C', 0), driveOn(L'D', 0), driveOn(L'E', -1)});
    ASSERT_EQ(storage.drives.size(), 3u);
    EXPECT_TRUE(storage.drives[0].readRate.ok);
    EXPECT_EQ(storage.drives[0].readRate.value, 1000.0);
    EXPECT_EQ(storage.drives[1].readRate.limitation, Limitation::Measuring); // new drive
    EXPECT_EQ(storage.drives[2].writeRate.reason, L"why");
    EXPECT_EQ(storage.disks[0].letters, L"C: D:");
    EXPECT_EQ(storage.disks[1].letters, L""); // no volume left on disk 1

    EXPECT_EQ(driveLettersText(storage.drives, 5), L"");
    EXPECT_EQ(driveLettersText(storage.drives, -1), L"E:");
}

TEST(DiskInstances, OnlyExactlyALetterAndAColonMatch) {
    EXPECT_TRUE(driveInstanceMatches(L"C:", L'C'));
    EXPECT_TRUE(driveInstanceMatches(L"c:", L'C'));
    EXPECT_FALSE(driveInstanceMatches(L"C:", L'D'));
    EXPECT_FALSE(driveInstanceMatches(L"_Total", L'C'));
    EXPECT_FALSE(driveInstanceMatches(L"HarddiskVolume3", L'H'));
    EXPECT_FALSE(driveInstanceMatches(L"C:\\", L'C'));
    EXPECT_FALSE(driveInstanceMatches(L"C", L'C'));
    EXPECT_FALSE(driveInstanceMatches(L"", L'C'));
}

TEST(DiskRates, EachDriveTakesItsInstanceOrSaysThereIsNone) {
    StorageInfo storage = withDrives({L'C', L'D'});
    const std::vector<PdhInstanceValue> instances = {
        {L"HarddiskVolume3", 7}, {L"c:", 4096}, {L"_Total", 9999}};
    diskIoApplyReadRates(storage, true, instances);
    diskIoApplyWriteRates(storage, true, {{L"C:", 0}, {L"D:", 512}});

    EXPECT_TRUE(storage.drives[0].readRate.ok);
    EXPECT_EQ(storage.drives[0].readRate.value, 4096.0);
    EXPECT_TRUE(storage.drives[0].writeRate.ok); // an idle drive is a real zero
    EXPECT_EQ(storage.drives[0].writeRate.value, 0.0);
    EXPECT_FALSE(storage.drives[1].readRate.ok);
    EXPECT_EQ(storage.drives[1].readRate.limitation, Limitation::WindowsApi);
    EXPECT_EQ(storage.drives[1].readRate.reason, L"Tidak ada penghitung I/O untuk drive ini.");
    EXPECT_EQ(storage.drives[1].writeRate.value, 512.0);

    // A failed array read takes every value away, even matching ones.
    diskIoApplyReadRates(storage, false, instances);
    EXPECT_FALSE(storage.drives[0].readRate.ok);
    EXPECT_EQ(storage.drives[0].readRate.value, 0.0);
    EXPECT_EQ(storage.drives[0].readRate.reason, L"Tidak ada penghitung I/O untuk drive ini.");
}

TEST(DiskRates, MissingCountersAreExplainedOnEveryDrive) {
    StorageInfo storage = withDrives({L'C', L'D'});
    int handle = 0;
    diskIoApplySetup(storage, nullptr, 0xC0000BB9, nullptr, 0xC0000BB8);
    EXPECT_FALSE(storage.ioStatus.ok);
    EXPECT_EQ(storage.ioStatus.limitation, Limitation::WindowsApi);
    const std::wstring reason =
        L"Penghitung kinerja LogicalDisk tidak tersedia (penghitung kinerja tidak ada). "
        L"Penghitung mungkin dimatikan; jalankan \"lodctr /R\" sebagai administrator.";
    EXPECT_EQ(storage.ioStatus.reason, reason);

    setReading(storage.drives[1].readRate, 5.0);
    diskIoApplyMissingCounters(storage);
    for (const Drive& drive : storage.drives) {
        for (const Reading<double>* rate : {&drive.readRate, &drive.writeRate}) {
            EXPECT_FALSE(rate->ok);
            EXPECT_EQ(rate->value, 0.0);
            EXPECT_EQ(rate->limitation, Limitation::WindowsApi);
            EXPECT_EQ(rate->reason, reason);
        }
    }

    // Only the write counter failed: its status is the one named.
    StorageInfo half;
    diskIoApplySetup(half, &handle, 0, nullptr, 0xC0000BDB);
    EXPECT_NE(half.ioStatus.reason.find(L"(akses ke penghitung ditolak)"), std::wstring::npos);
    EXPECT_EQ(half.readCounter, &handle);
    EXPECT_EQ(half.writeCounter, nullptr);

    StorageInfo both;
    diskIoApplySetup(both, &handle, 0, &handle, 0);
    EXPECT_EQ(both.ioStatus.limitation, Limitation::Measuring);
}

// The real calls, against the drives this system offers.
TEST(DrivesOnThisSystem, TheWindowsDriveIsListedReadyWithItsCapacity) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    StorageInfo storage;
    const DWORD errorMode = GetThreadErrorMode();
    drivesUpdate(storage);
    EXPECT_EQ(GetThreadErrorMode(), errorMode); // quiet only while it asks the volumes
    ASSERT_FALSE(storage.drives.empty());
    const Drive* system = nullptr;
    for (size_t i = 0; i < storage.drives.size(); ++i) {
        const Drive& drive = storage.drives[i];
        // Never an optical, network or RAM drive.
        EXPECT_TRUE(drive.driveType == 2 || drive.driveType == 3) << char(drive.letter);
        if (i > 0) {
            EXPECT_LT(storage.drives[i - 1].letter, drive.letter);
        }
        if (drive.isSystem) system = &drive;
    }
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->letter, systemDriveLetter(windows));
    EXPECT_TRUE(system->ready);
    EXPECT_GT(system->totalBytes, 0u);
    EXPECT_LE(system->freeBytes, system->totalBytes);
    EXPECT_FALSE(system->fileSystem.empty());
}

TEST(DrivesOnThisSystem, DiskActivityIsMeasuredOrItsCounterNamed) {
    PdhQuery query;
    StorageInfo storage;
    diskIoInit(storage, query);
    pdhCollect(query);
    diskIoUpdate(storage);
    if (!storage.readCounter || !storage.writeCounter) {
        EXPECT_EQ(
            storage.ioStatus.reason.rfind(L"Penghitung kinerja LogicalDisk tidak tersedia (", 0),
            0u);
        // Without the counters the drives are listed by the next refresh.
        drivesUpdate(storage);
        diskIoUpdate(storage);
        ASSERT_FALSE(storage.drives.empty());
        EXPECT_EQ(storage.drives[0].readRate.reason, storage.ioStatus.reason);
    } else {
        ASSERT_FALSE(storage.drives.empty());
        EXPECT_EQ(storage.drives[0].readRate.limitation, Limitation::Measuring);
        Sleep(100);
        pdhCollect(query);
        diskIoUpdate(storage);
        EXPECT_TRUE(storage.ioStatus.ok);
    }
    pdhClose(query);
}

// The drives of this Wine prefix, measured by the simulated PC's LogicalDisk
// counters through the real counter wrapper.
class SimulatedDrives : public test::SimulatedPc {
protected:
    void TearDown() override {
        pdhClose(query); // before the state file goes
        test::SimulatedPc::TearDown();
    }

    const Drive* drive(wchar_t letter) const {
        for (const Drive& d : storage.drives)
            if (d.letter == letter) return &d;
        return nullptr;
    }

    PdhQuery query;
    StorageInfo storage;
};

TEST_F(SimulatedDrives, EachDriveReadsItsLetterInstanceFromTheSecondCollection) {
    setMachine("\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 2048\n"
               "\\LogicalDisk(HarddiskVolume1)\\Disk Read Bytes/sec = 77\n"
               "\\LogicalDisk(HarddiskVolume1)\\Disk Write Bytes/sec = 77\n"
               "\\LogicalDisk(_Total)\\Disk Read Bytes/sec = 1048653\n"
               "\\LogicalDisk(_Total)\\Disk Write Bytes/sec = 2125\n"
               "\\LogicalDisk(Z:)\\Disk Read Bytes/sec = 10\n");
    diskIoInit(storage, query);
    ASSERT_NE(storage.readCounter, nullptr);
    ASSERT_NE(storage.writeCounter, nullptr);
    ASSERT_NE(drive(L'C'), nullptr) << "the counters were added, so the drives are listed";

    pdhCollect(query);
    diskIoUpdate(storage);
    EXPECT_EQ(drive(L'C')->readRate.limitation, Limitation::Measuring);

    pdhCollect(query);
    diskIoUpdate(storage);
    EXPECT_TRUE(storage.ioStatus.ok);
    EXPECT_TRUE(storage.ioStatus.value);
    const Drive* c = drive(L'C');
    ASSERT_TRUE(c->readRate.ok);
    EXPECT_EQ(c->readRate.value, 1048576.0);
    EXPECT_EQ(c->writeRate.value, 2048.0);
    if (const Drive* z = drive(L'Z')) { // Wine's view of the Unix root
        EXPECT_EQ(z->readRate.value, 10.0);
        EXPECT_EQ(z->writeRate.reason, L"Tidak ada penghitung I/O untuk drive ini.");
    }

    // The machine changes; a slow-tick refresh in between keeps the rates.
    setMachine("\\LogicalDisk(C:)\\Disk Read Bytes/sec = 0\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 4096\n");
    drivesUpdate(storage);
    EXPECT_EQ(drive(L'C')->readRate.value, 1048576.0);
    pdhCollect(query);
    diskIoUpdate(storage);
    EXPECT_TRUE(drive(L'C')->readRate.ok);
    EXPECT_EQ(drive(L'C')->readRate.value, 0.0);
    EXPECT_EQ(drive(L'C')->writeRate.value, 4096.0);
}

TEST_F(SimulatedDrives, WithoutTheLogicalDiskObjectEveryDriveNamesIt) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n");
    diskIoInit(storage, query);
    EXPECT_EQ(storage.readCounter, nullptr);
    EXPECT_EQ(storage.ioStatus.reason,
              L"Penghitung kinerja LogicalDisk tidak tersedia (objek penghitung kinerja tidak "
              L"ada). Penghitung mungkin dimatikan; jalankan \"lodctr /R\" sebagai administrator.");
    EXPECT_TRUE(storage.drives.empty()); // listed by the next refresh
    drivesUpdate(storage);
    pdhCollect(query);
    diskIoUpdate(storage);
    ASSERT_NE(drive(L'C'), nullptr);
    EXPECT_EQ(drive(L'C')->writeRate.reason, storage.ioStatus.reason);
    EXPECT_TRUE(drive(L'C')->ready); // capacity does not need the counters
}

} // namespace
} // namespace ovra
