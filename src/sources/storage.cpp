#include "sources/storage.h"

#include <cwctype>
#include <utility>

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint32_t fileDeviceDisk = 7; // FILE_DEVICE_DISK

const wchar_t noCounterForDrive[] = L"Tidak ada penghitung I/O untuk drive ini.";

wchar_t upper(wchar_t c) {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

bool driveInstanceMatches(const std::wstring& instance, wchar_t letter) {
    return instance.size() == 2 && upper(instance[0]) == letter && instance[1] == L':';
}

std::wstring driveLettersText(const std::vector<Drive>& drives, int32_t diskNumber) {
    std::wstring text;
    for (const Drive& drive : drives) {
        if (drive.diskNumber != diskNumber) continue;
        text += drive.letter;
        text += L": ";
    }
    return trimText(text);
}

void applyRates(std::vector<Drive>& drives, Reading<double> Drive::*rate, bool arrayOk,
                const std::vector<PdhInstanceValue>& instances) {
    for (Drive& drive : drives) {
        bool matched = false;
        if (arrayOk) {
            for (const PdhInstanceValue& instance : instances) {
                if (!driveInstanceMatches(instance.name, drive.letter)) continue;
                setReading(drive.*rate, instance.value);
                matched = true;
            }
        }
        if (!matched) setUnavailable(drive.*rate, Limitation::WindowsApi, noCounterForDrive);
    }
}

} // namespace

Drive driveFromVolume(const VolumeAnswer& answer, wchar_t systemLetter) {
    Drive drive;
    drive.letter = answer.letter;
    drive.driveType = answer.driveType;
    drive.isSystem = answer.letter == systemLetter;
    if (answer.spaceOk) {
        drive.ready = true;
        drive.totalBytes = answer.totalBytes;
        drive.freeBytes = answer.totalFreeBytes;
        drive.label = answer.label;
        drive.fileSystem = answer.fileSystem;
    }
    if (answer.deviceNumberOk && answer.deviceType == fileDeviceDisk)
        drive.diskNumber = static_cast<int32_t>(answer.deviceNumber);
    return drive;
}

void drivesApply(StorageInfo& storage, std::vector<Drive> fresh) {
    // Rates come from the fast tick; a drive re-listed by the slow tick keeps them
    // so that they do not flicker back to "measuring".
    for (Drive& drive : fresh) {
        for (const Drive& previous : storage.drives) {
            if (previous.letter != drive.letter) continue;
            drive.readRate = previous.readRate;
            drive.writeRate = previous.writeRate;
            break;
        }
    }
    storage.drives = std::move(fresh);
    for (PhysicalDisk& disk : storage.disks)
        disk.letters = driveLettersText(storage.drives, disk.number);
}

void diskIoApplyRates(StorageInfo& storage, bool readOk, const std::vector<PdhInstanceValue>& reads,
                      bool writeOk, const std::vector<PdhInstanceValue>& writes) {
    applyRates(storage.drives, &Drive::readRate, readOk, reads);
    applyRates(storage.drives, &Drive::writeRate, writeOk, writes);
    setReading(storage.ioStatus, readOk && writeOk);
}

} // namespace ovra
