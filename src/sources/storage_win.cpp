#include "sources/storage.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <iterator>

#include "sources/device_io.h"
#include "sources/format.h"

namespace ovra {

namespace {

static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);

constexpr uint32_t removableDrive = 2;
constexpr uint32_t fixedDrive = 3;

// The LogicalDisk counters of the fast query and the scratch of their reads.
struct DiskIoShell {
    PdhQuery* query = nullptr;
    PdhCounter readCounter = nullptr;
    PdhCounter writeCounter = nullptr;
    std::vector<PdhInstanceValue> instances; // reused by every update
    std::vector<PdhInstanceValue> writeInstances;
};
DiskIoShell shell;
static_assert(IOCTL_STORAGE_GET_DEVICE_NUMBER == 0x2D1080);

template <size_t N> std::wstring boundedText(const wchar_t (&buffer)[N]) {
    return std::wstring(buffer, std::find(buffer, buffer + N, L'\0'));
}

// An empty card reader or floppy drive would otherwise make Windows ask the user
// to insert a disk, on every refresh; the query should simply fail instead.
class CriticalErrorsFail {
public:
    CriticalErrorsFail() {
        SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_);
    }
    ~CriticalErrorsFail() { SetThreadErrorMode(previous_, nullptr); }
    CriticalErrorsFail(const CriticalErrorsFail&) = delete;
    CriticalErrorsFail& operator=(const CriticalErrorsFail&) = delete;

private:
    DWORD previous_ = 0;
};

VolumeAnswer readVolume(wchar_t letter, uint32_t driveType) {
    VolumeAnswer answer;
    answer.letter = letter;
    answer.driveType = driveType;
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};

    ULARGE_INTEGER callerFree{}, total{}, totalFree{};
    answer.spaceOk = GetDiskFreeSpaceExW(root, &callerFree, &total, &totalFree) != FALSE;
    if (answer.spaceOk) {
        answer.totalBytes = total.QuadPart;
        answer.totalFreeBytes = totalFree.QuadPart;
        wchar_t label[260] = {};
        wchar_t fileSystem[64] = {};
        if (GetVolumeInformationW(root, label, static_cast<DWORD>(std::size(label)), nullptr,
                                  nullptr, nullptr, fileSystem,
                                  static_cast<DWORD>(std::size(fileSystem)))) {
            answer.label = boundedText(label);
            answer.fileSystem = boundedText(fileSystem);
        }
    }

    const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
    const KernelHandle device = openDevice(volume, 0);
    if (device.valid()) {
        STORAGE_DEVICE_NUMBER number = {};
        DWORD returned = 0;
        answer.deviceNumberOk = deviceControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0,
                                              &number, sizeof(number), returned) &&
                                returned >= offsetof(STORAGE_DEVICE_NUMBER, PartitionNumber);
        answer.deviceType = number.DeviceType;
        answer.deviceNumber = number.DeviceNumber;
    }
    return answer;
}

} // namespace

void diskIoInit(StorageInfo& storage, PdhQuery& fastQuery) {
    shell = DiskIoShell{};
    shell.query = &fastQuery;
    uint32_t readStatus = 0, writeStatus = 0;
    shell.readCounter =
        pdhAddCounter(fastQuery, L"\\LogicalDisk(*)\\Disk Read Bytes/sec", &readStatus);
    shell.writeCounter =
        pdhAddCounter(fastQuery, L"\\LogicalDisk(*)\\Disk Write Bytes/sec", &writeStatus);
    if (shell.readCounter && shell.writeCounter) return drivesUpdate(storage);
    setUnavailable(storage.ioStatus, Limitation::WindowsApi,
                   L"Penghitung kinerja LogicalDisk tidak tersedia (" +
                       pdhStatusText(shell.readCounter ? writeStatus : readStatus) +
                       L"). Penghitung mungkin dimatikan; jalankan \"lodctr /R\" sebagai "
                       L"administrator.");
}

void drivesUpdate(StorageInfo& storage) {
    // A failure (or a folder too long for the buffer) leaves C as the system drive.
    wchar_t windowsDirectory[MAX_PATH] = L"C:\\";
    const UINT length = GetWindowsDirectoryW(windowsDirectory, MAX_PATH);
    const wchar_t system =
        length > 0 && length < MAX_PATH
            ? static_cast<wchar_t>(std::towupper(static_cast<wint_t>(windowsDirectory[0])))
            : L'C';
    const DWORD mask = GetLogicalDrives();
    const CriticalErrorsFail quietly;

    std::vector<Drive> fresh;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        const uint32_t type = GetDriveTypeW(root);
        if (type != removableDrive && type != fixedDrive) continue;
        fresh.push_back(driveFromVolume(readVolume(letter, type), system));
    }
    drivesApply(storage, std::move(fresh));
}

void diskIoUpdate(StorageInfo& storage) {
    if (!shell.query || !shell.readCounter || !shell.writeCounter) {
        for (Drive& drive : storage.drives) {
            setUnavailableAs(drive.readRate, storage.ioStatus);
            setUnavailableAs(drive.writeRate, storage.ioStatus);
        }
        return;
    }
    // Rate counters give a value only from their second collection on.
    if (shell.query->collects <= 1) return;
    const bool readOk = pdhReadArray(*shell.query, shell.readCounter, shell.instances);
    const bool writeOk = pdhReadArray(*shell.query, shell.writeCounter, shell.writeInstances);
    diskIoApplyRates(storage, readOk, shell.instances, writeOk, shell.writeInstances);
}

} // namespace ovra
