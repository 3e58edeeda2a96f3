#include "sources/answers_win.h"

#include <windows.h>
#include <winioctl.h>
#include <setupapi.h>
#include <batclass.h>

#include <cstddef>
#include <vector>

#include "sources/device_io.h"

namespace ovra {

namespace {

static_assert(IOCTL_BATTERY_QUERY_TAG == 0x294040);
static_assert(IOCTL_BATTERY_QUERY_INFORMATION == 0x294044);
static_assert(IOCTL_BATTERY_QUERY_STATUS == 0x29404C);
static_assert(sizeof(BATTERY_QUERY_INFORMATION) == 12);
static_assert(sizeof(BATTERY_INFORMATION) == 36);
static_assert(sizeof(BATTERY_WAIT_STATUS) == 20);
static_assert(sizeof(BATTERY_STATUS) == 16);

// GUID_DEVCLASS_BATTERY
const GUID batteryClass = {
    0x72631E54, 0x78A4, 0x11D0, {0xBC, 0xF7, 0x00, 0xAA, 0x00, 0xB7, 0xB3, 0x2A}};

// The interface that answered last, for the whole process: enumerating the
// battery class on every slow tick would cost far more than one device open.
BatteryCache processCache;

// The class list of battery interfaces.
struct InterfaceListTraits {
    using Handle = HDEVINFO;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle list) { return list != INVALID_HANDLE_VALUE && list != nullptr; }
    static void close(Handle list) { SetupDiDestroyDeviceInfoList(list); }
};
using InterfaceList = UniqueHandle<InterfaceListTraits>;

// Asks the battery at `path` for its tag, its information and its status.
void queryBatteryDevice(const std::wstring& path, BatteryDeviceAnswer& answer) {
    const KernelHandle device =
        openDevice(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL);
    if (!device.valid()) return;
    answer.opened = true;

    ULONG wait = 0, tag = 0;
    DWORD returned = 0;
    if (!deviceControl(device, IOCTL_BATTERY_QUERY_TAG, &wait, sizeof(wait), &tag, sizeof(tag),
                       returned) ||
        returned < sizeof(tag))
        return;
    answer.tag = tag;
    if (tag == 0) return;

    BATTERY_QUERY_INFORMATION query = {};
    query.BatteryTag = tag;
    query.InformationLevel = BatteryInformation;
    BATTERY_INFORMATION information = {}; // fields a short answer leaves out read as 0
    if (!deviceControl(device, IOCTL_BATTERY_QUERY_INFORMATION, &query, sizeof(query), &information,
                       sizeof(information), returned))
        return;
    answer.informationOk = true;
    answer.capabilities = information.Capabilities;
    for (size_t i = 0; i < sizeof(answer.chemistry); ++i)
        answer.chemistry[i] = information.Chemistry[i];
    answer.designedCapacity = information.DesignedCapacity;
    answer.fullChargedCapacity = information.FullChargedCapacity;
    answer.cycleCount = information.CycleCount;

    BATTERY_WAIT_STATUS waitStatus = {};
    waitStatus.BatteryTag = tag;
    BATTERY_STATUS status = {};
    if (deviceControl(device, IOCTL_BATTERY_QUERY_STATUS, &waitStatus, sizeof(waitStatus), &status,
                      sizeof(status), returned) &&
        returned >= sizeof(status)) {
        answer.statusOk = true;
        answer.powerState = status.PowerState;
        answer.rate = static_cast<uint32_t>(status.Rate);
    }
}

// The device path of one battery interface; empty when its detail cannot be read.
std::wstring interfacePath(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& data) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(list, &data, nullptr, 0, &required, nullptr);
    const size_t pathAt = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required <= pathAt) return {};
    // Whole records, so the structure is suitably aligned.
    std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> storage(
        (required + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) - 1) /
        sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    auto* detail = storage.data();
    // The size field names the fixed part only: 8 bytes in a 64-bit process.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(list, &data, detail, required, nullptr, nullptr))
        return {};
    const wchar_t* path = detail->DevicePath;
    const size_t capacity = (required - pathAt) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && path[length] != L'\0')
        ++length;
    return std::wstring(path, length);
}

} // namespace

PowerStatusAnswer powerStatusFromAnswer(const SYSTEM_POWER_STATUS& status) {
    PowerStatusAnswer answer;
    answer.acLineStatus = status.ACLineStatus;
    answer.batteryFlag = status.BatteryFlag;
    answer.lifePercent = status.BatteryLifePercent;
    answer.lifeTime = status.BatteryLifeTime;
    return answer;
}

void batteryUpdate(BatteryInfo& battery) {
    InterfaceList list;
    BatteryCalls calls;
    calls.powerStatus = [](PowerStatusAnswer& answer) {
        SYSTEM_POWER_STATUS status = {};
        if (!GetSystemPowerStatus(&status)) return false;
        answer = powerStatusFromAnswer(status);
        return true;
    };
    calls.openInterfaces = [&list] {
        list.reset(SetupDiGetClassDevsW(&batteryClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        return list.valid();
    };
    calls.nextInterface = [&list](uint32_t index, std::wstring* path) {
        SP_DEVICE_INTERFACE_DATA data = {};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(list.get(), nullptr, &batteryClass, index, &data))
            return false;
        if (path) *path = interfacePath(list.get(), data);
        return true;
    };
    calls.closeInterfaces = [&list] { list.reset(); };
    calls.queryDevice = queryBatteryDevice;
    batteryUpdateWith(battery, calls, processCache);
}

} // namespace ovra
