#include "link/qt_serial_devices.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace vorlink {

std::vector<SerialDevice> QtSerialDevices::Devices() {
  std::vector<SerialDevice> devices;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (devices.size() == kMostDevices) break;
    SerialDevice device;
    device.systemPath = info.systemLocation().toStdString();
    device.name = StableName(device.systemPath);
    device.description = info.description().toStdString();
    device.manufacturer = info.manufacturer().toStdString();
    device.serialNumber = info.serialNumber().toStdString();
    devices.push_back(std::move(device));
  }
  // Adapters with a stable name first, where an operator looks for the TNC.
  std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    const bool aStable = a.name != a.systemPath;
    const bool bStable = b.name != b.systemPath;
    if (aStable != bStable) return aStable;
    return a.name < b.name;
  });
  return devices;
}

}  // namespace vorlink
