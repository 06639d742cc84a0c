#include "link/serial_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

TEST(SerialDeviceTest, StableNameIsTheByIdLinkToTheDeviceElseTheDevice) {
  testing::TempFolder folder;
  const fs::path byId = folder.path() / "by-id";
  fs::create_directories(byId);
  for (const char* device : {"ttyUSB0", "ttyUSB1", "ttyACM0"}) {
    std::ofstream(folder.path() / device).put('x');
  }
  // Relative, as udev makes them; two for one device give the first by name.
  fs::create_symlink("../ttyUSB0", byId / "usb-FTDI_TNC_A1-if00-port0");
  fs::create_symlink("../ttyUSB0", byId / "usb-Another_name");
  fs::create_symlink("../ttyACM0", byId / "usb-Modem_7-if00");
  fs::create_symlink("../gone", byId / "usb-Pulled_out");
  std::ofstream(byId / "not-a-link").put('x');

  struct Row {
    fs::path device;
    fs::path stable;
  } rows[] = {
      {folder.path() / "ttyUSB0", byId / "usb-Another_name"},
      {folder.path() / "ttyACM0", byId / "usb-Modem_7-if00"},
      {folder.path() / "ttyUSB1", folder.path() / "ttyUSB1"},
      {folder.path() / "ttyS9", folder.path() / "ttyS9"},
  };
  for (const Row& row : rows) EXPECT_EQ(StableName(row.device, byId), row.stable.string());
  // A machine without any: the device as it is.
  EXPECT_EQ(StableName(folder.path() / "ttyUSB0", folder.path() / "none"),
            (folder.path() / "ttyUSB0").string());
}

TEST(SerialDeviceTest, LineNamesTheDeviceThenWhatIsKnownOfIt) {
  struct Row {
    SerialDevice device;
    const char* line;
  } rows[] = {
      {{"/dev/serial/by-id/usb-FTDI_X-if00-port0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1"},
       "/dev/serial/by-id/usb-FTDI_X-if00-port0 (/dev/ttyUSB0, FT232R USB UART, FTDI, serial "
       "number A1)"},
      {{"/dev/ttyACM0", "/dev/ttyACM0", "TNC", "", ""}, "/dev/ttyACM0 (TNC)"},
      {{"/dev/ttyS0", "/dev/ttyS0", "", "", ""}, "/dev/ttyS0"},
  };
  std::string all;
  for (const Row& row : rows) {
    EXPECT_EQ(DeviceLine(row.device), row.line);
    all += std::string(row.line) + "\n";
  }
  EXPECT_EQ(DeviceListText({rows[0].device, rows[1].device, rows[2].device}), all);
  EXPECT_EQ(DeviceListText({}), "");
}

}  // namespace
}  // namespace vorlink
