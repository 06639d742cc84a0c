// Which device a serial port number stands for on this machine. Port n is
// whatever a link (or file) named COMn in a given folder points to, so that an
// operator can attach any device (ln -s /dev/ttyUSB0 COM1) and tests can
// attach a pseudo-terminal; without such a name it is the n-th on-board port,
// /dev/ttyS(n-1). Port 0 names no device.
#pragma once

#include <filesystem>
#include <string>

namespace vorlink {

// "COM1" for 1: the name looked for in the folder.
std::string PortLinkName(int port);

// /dev/ttyS(n-1), the n-th on-board port; empty for port 0 and below.
std::filesystem::path OnBoardDevice(int port);

// The name the port is opened by, seen from `folder`: the absolute path of
// COMn when it exists (dangling or not), /dev/ttyS(n-1) otherwise. Empty for
// port 0 and below. A port that went away is looked for again at this name
// only: a TNC unplugged from COM1 takes its link's target with it, and the
// on-board port is not it.
std::filesystem::path PortPath(int port, const std::filesystem::path& folder);

// The device behind a name: the target of a link when it resolves, the link
// itself when it dangles (so the open fails instead of reaching another
// device), otherwise the name.
std::filesystem::path DeviceBehind(const std::filesystem::path& name);

// The device to open for the port, seen from `folder`: DeviceBehind(PortPath).
std::filesystem::path PortDevice(int port, const std::filesystem::path& folder);

// The same seen from the process's current working directory, where the
// program keeps its links.
std::filesystem::path PortPath(int port);
std::filesystem::path PortDevice(int port);

}  // namespace vorlink
