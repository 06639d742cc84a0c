// A device chosen for a port number becomes the link COM<n> in the station
// folder, so the port line in vorlink.ini keeps its number and the port is
// opened as every COM port is: by the link's name. The link leads to the
// device's stable by-id name, not to today's ttyUSB number.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/serial_device.h"

namespace vorlink {

// The device list's first entry: the COM port left as it is.
std::string NoDeviceEntry(int port);  // "none (use COM 1 as it is)"

// What the setup dialog hands back below the port lines: the device for
// each frame's port; empty leaves that COM<n> as it is.
struct DeviceChoice {
  std::filesystem::path incoming;
  std::filesystem::path outgoing;
};

// Makes folder/COM<port> a symbolic link to the device, replacing an older
// link in one step, so the port is never seen half made. A COM<port> that is
// not a link (a file, a folder) is left alone. Gives why it could not be
// done ("COM1: Permission denied"); empty when it was.
std::string LinkPortToDevice(const std::filesystem::path& folder, int port,
                             const std::filesystem::path& device);

// Both ports of a choice, from the port lines they go with; the incoming
// port last, so it wins where both name one number. The problems, in order.
std::vector<std::string> ApplyDeviceChoice(const std::filesystem::path& folder,
                                           const std::string& incomingLine,
                                           const std::string& outgoingLine,
                                           const DeviceChoice& choice);

// The tool tip of a port box: where COM<port> in folder leads, or where it
// will once chosen is linked.
//   "COM1 will be a link to /dev/serial/by-id/usb-X"
//   "COM1 is a link to /dev/serial/by-id/usb-X (now /dev/ttyUSB0)"
//   "COM1 is a link to /dev/serial/by-id/usb-X (not there now)"
//   "COM3 opens /dev/ttyS2"
std::string PortLinkTip(int port, const std::filesystem::path& folder,
                        const std::filesystem::path& chosen);

}  // namespace vorlink
