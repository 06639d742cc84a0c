#include "link/serial_device.h"

#include <system_error>

namespace vorlink {
namespace {

// A by-id folder holds one link per device; a folder far bigger is not one.
constexpr std::size_t kMostLinksLooked = 1024;
constexpr const char* kSerialNumberWord = "serial number ";

}  // namespace

std::string StableName(const std::filesystem::path& device,
                       const std::filesystem::path& byIdFolder) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(device, error);
  if (error) return device.string();
  std::filesystem::directory_iterator entries(byIdFolder, error);
  std::size_t looked = 0;
  // Sorted, so that of two links to one device the same one is always named.
  std::filesystem::path found;
  for (; !error && entries != std::filesystem::directory_iterator() && looked < kMostLinksLooked;
       entries.increment(error), ++looked) {
    const std::filesystem::path& link = entries->path();
    std::error_code ignored;
    if (!entries->is_symlink(ignored)) continue;
    if (std::filesystem::canonical(link, ignored) != real || ignored) continue;
    if (found.empty() || link < found) found = link;
  }
  return found.empty() ? device.string() : found.string();
}

std::string DeviceLine(const SerialDevice& device) {
  std::vector<std::string> known;
  if (!device.systemPath.empty() && device.systemPath != device.name) {
    known.push_back(device.systemPath);
  }
  if (!device.description.empty()) known.push_back(device.description);
  if (!device.manufacturer.empty()) known.push_back(device.manufacturer);
  if (!device.serialNumber.empty()) known.push_back(kSerialNumberWord + device.serialNumber);
  std::string line = device.name;
  for (std::size_t i = 0; i < known.size(); ++i) line += (i == 0 ? " (" : ", ") + known[i];
  if (!known.empty()) line += ')';
  return line;
}

std::string DeviceListText(const std::vector<SerialDevice>& devices) {
  std::string text;
  for (const SerialDevice& device : devices) text += DeviceLine(device) + '\n';
  return text;
}

}  // namespace vorlink
