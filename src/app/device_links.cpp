#include "app/device_links.h"

#include <system_error>

#include "app/port_line.h"
#include "link/port_device.h"

namespace vorlink {
namespace {

// Made beside the port's link and renamed over it.
constexpr const char* kNewLinkSuffix = ".new";

std::string Problem(int port, const std::error_code& error) {
  return PortLinkName(port) + ": " + error.message();
}

}  // namespace

std::string NoDeviceEntry(int port) {
  return "none (use COM " + std::to_string(port) + " as it is)";
}

std::string LinkPortToDevice(const std::filesystem::path& folder, int port,
                             const std::filesystem::path& device) {
  namespace fs = std::filesystem;
  if (port <= 0 || device.empty()) return {};
  const fs::path link = folder / PortLinkName(port);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(link, error);
  if (fs::exists(status) && !fs::is_symlink(status)) {
    return PortLinkName(port) + " is not a link: left as it is";
  }
  if (fs::is_symlink(status) && fs::read_symlink(link, error) == device && !error) return {};
  const fs::path fresh = folder / (PortLinkName(port) + kNewLinkSuffix);
  fs::remove(fresh, error);
  fs::create_symlink(device, fresh, error);
  if (error) return Problem(port, error);
  fs::rename(fresh, link, error);
  if (error) {
    std::error_code ignored;
    fs::remove(fresh, ignored);
    return Problem(port, error);
  }
  return {};
}

std::vector<std::string> ApplyDeviceChoice(const std::filesystem::path& folder,
                                           const std::string& incomingLine,
                                           const std::string& outgoingLine,
                                           const DeviceChoice& choice) {
  std::vector<std::string> problems;
  for (const auto& [line, device] : {std::pair{&outgoingLine, &choice.outgoing},
                                     std::pair{&incomingLine, &choice.incoming}}) {
    const std::string problem = LinkPortToDevice(folder, SplitPortLine(*line).port, *device);
    if (!problem.empty()) problems.push_back(problem);
  }
  return problems;
}

std::string PortLinkTip(int port, const std::filesystem::path& folder,
                        const std::filesystem::path& chosen) {
  namespace fs = std::filesystem;
  const std::string name = PortLinkName(port);
  if (!chosen.empty()) return name + " will be a link to " + chosen.string();
  const fs::path path = PortPath(port, folder);
  std::error_code error;
  if (!fs::is_symlink(fs::symlink_status(path, error))) {
    return name + " opens " + DeviceBehind(path).string();
  }
  const fs::path target = fs::read_symlink(path, error);
  const fs::path device = DeviceBehind(path);
  std::string tip = name + " is a link to " + target.string();
  if (device == path) return tip + " (not there now)";
  if (device != target) tip += " (now " + device.string() + ")";
  return tip;
}

}  // namespace vorlink
