#include "link/port_device.h"

#include <system_error>

namespace vorlink {
namespace {

constexpr const char* kLinkPrefix = "COM";
constexpr const char* kOnBoardPrefix = "/dev/ttyS";

}  // namespace

std::string PortLinkName(int port) { return kLinkPrefix + std::to_string(port); }

std::filesystem::path OnBoardDevice(int port) {
  if (port <= 0) return {};
  return kOnBoardPrefix + std::to_string(port - 1);
}

std::filesystem::path PortPath(int port, const std::filesystem::path& folder) {
  if (port <= 0) return {};
  std::error_code error;
  const std::filesystem::path link = std::filesystem::absolute(folder / PortLinkName(port), error);
  if (error) return {};
  // symlink_status sees a dangling link too; it still means "this one".
  if (!std::filesystem::exists(std::filesystem::symlink_status(link, error))) {
    return OnBoardDevice(port);
  }
  return link;
}

std::filesystem::path DeviceBehind(const std::filesystem::path& name) {
  if (name.empty()) return {};
  // The real device path gives the port lock its true name, so two links to
  // one device cannot both open it.
  std::error_code error;
  std::filesystem::path device = std::filesystem::canonical(name, error);
  return error ? name : device;
}

std::filesystem::path PortDevice(int port, const std::filesystem::path& folder) {
  return DeviceBehind(PortPath(port, folder));
}

std::filesystem::path PortPath(int port) {
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  if (error) return OnBoardDevice(port);
  return PortPath(port, here);
}

std::filesystem::path PortDevice(int port) { return DeviceBehind(PortPath(port)); }

}  // namespace vorlink
