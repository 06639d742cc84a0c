// The serial devices this machine has (USB adapters, ACM modems, on-board
// ports), as the setup dialog and --list-devices offer them. A device is
// named by its stable /dev/serial/by-id link where it has one, so that a
// COMn link made to it finds the same adapter after a replug or a reboot,
// whichever ttyUSB number the kernel hands out then.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vorlink {

struct SerialDevice {
  std::string name;          // the by-id link, else the device itself
  std::string systemPath;    // /dev/ttyUSB0
  std::string description;   // what the device says it is, may be empty
  std::string manufacturer;  // may be empty
  std::string serialNumber;  // may be empty

  friend bool operator==(const SerialDevice&, const SerialDevice&) = default;
};

// Where the stable names live.
inline const std::filesystem::path kStableDeviceFolder = "/dev/serial/by-id";
// A machine has a handful; a list this long is cut, not grown further.
inline constexpr std::size_t kMostDevices = 256;

class SerialDeviceSource {
 public:
  virtual ~SerialDeviceSource() = default;
  // The devices present now, in the order to offer them.
  virtual std::vector<SerialDevice> Devices() = 0;
};

// The link in byIdFolder that leads to the device; the device itself when
// none does.
std::string StableName(const std::filesystem::path& device,
                       const std::filesystem::path& byIdFolder = kStableDeviceFolder);

// "/dev/serial/by-id/usb-X-if00-port0 (/dev/ttyUSB0, USB UART, FTDI, serial
// number A1)": the name, then what is known of it.
std::string DeviceLine(const SerialDevice& device);

// One DeviceLine each, a line end after each; what --list-devices prints.
std::string DeviceListText(const std::vector<SerialDevice>& devices);

}  // namespace vorlink
