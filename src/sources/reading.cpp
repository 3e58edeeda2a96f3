#include "sources/reading.h"

namespace ovra {

std::wstring limitationLabel(Limitation limitation) {
    switch (limitation) {
    case Limitation::Measuring: return L"Sedang mengukur";
    case Limitation::Sensor: return L"Sensor";
    case Limitation::Firmware: return L"Firmware";
    case Limitation::Driver: return L"Driver";
    case Limitation::WindowsApi: return L"API Windows";
    case Limitation::Permission: return L"Hak akses";
    case Limitation::Hardware: return L"Perangkat keras";
    case Limitation::Setting: return L"Pengaturan";
    case Limitation::Unsupported: return L"Tidak didukung";
    case Limitation::None: break;
    }
    return {};
}

} // namespace ovra
