#include "app/device_links.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;

class DeviceLinksTest : public ::testing::Test {
 protected:
  DeviceLinksTest() {
    fs::create_directories(byId);
    std::ofstream(folder.path() / "ttyUSB0").put('x');
    fs::create_symlink(folder.path() / "ttyUSB0", tnc);
  }
  fs::path Com(int n) const { return folder.path() / ("COM" + std::to_string(n)); }
  fs::path Target(int n) const { return fs::read_symlink(Com(n)); }

  testing::TempFolder folder;
  const fs::path byId = folder.path() / "by-id";
  const fs::path tnc = byId / "usb-FTDI_TNC_A1-if00-port0";
};

TEST_F(DeviceLinksTest, ChosenDeviceBecomesTheComLinkReplacingAnOlderOne) {
  EXPECT_EQ(LinkPortToDevice(folder.path(), 1, tnc), "");
  EXPECT_EQ(Target(1), tnc);
  fs::create_symlink("/dev/ttyUSB7", Com(2));
  EXPECT_EQ(LinkPortToDevice(folder.path(), 2, tnc), "");
  EXPECT_EQ(Target(2), tnc);
  // Again the same: nothing to do; nothing chosen: left as it is.
  EXPECT_EQ(LinkPortToDevice(folder.path(), 2, tnc), "");
  EXPECT_EQ(LinkPortToDevice(folder.path(), 2, ""), "");
  EXPECT_EQ(Target(2), tnc);
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "COM2.new")));
}

TEST_F(DeviceLinksTest, ComThatIsNoLinkIsLeftAlone) {
  std::ofstream(Com(3)) << "mine";
  EXPECT_EQ(LinkPortToDevice(folder.path(), 3, tnc), "COM3 is not a link: left as it is");
  EXPECT_FALSE(fs::is_symlink(Com(3)));
}

TEST_F(DeviceLinksTest, BothPortsOfAChoiceTheIncomingWinningASharedNumber) {
  const fs::path other = byId / "usb-Other";
  const auto problems = ApplyDeviceChoice(folder.path(), "03,9600,N,8,1", "05,9600,N,8,1",
                                          DeviceChoice{tnc, other});
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(Target(3), tnc);
  EXPECT_EQ(Target(5), other);
  ApplyDeviceChoice(folder.path(), "06,9600,N,8,1", "06,9600,N,8,1", DeviceChoice{tnc, other});
  EXPECT_EQ(Target(6), tnc);
}

TEST_F(DeviceLinksTest, ToolTipNamesTheLinkAndWhereItLeads) {
  const std::string usb0 = fs::canonical(folder.path() / "ttyUSB0").string();
  fs::create_symlink(tnc, Com(1));
  fs::create_symlink(usb0, Com(2));
  fs::create_symlink(byId / "usb-Pulled_out", Com(3));
  struct Row {
    int port;
    fs::path chosen;
    std::string tip;
  } rows[] = {
      {1, "", "COM1 is a link to " + tnc.string() + " (now " + usb0 + ")"},
      {2, "", "COM2 is a link to " + usb0},
      {3, "", "COM3 is a link to " + (byId / "usb-Pulled_out").string() + " (not there now)"},
      {4, "", "COM4 opens /dev/ttyS3"},
      {4, tnc, "COM4 will be a link to " + tnc.string()},
  };
  for (const Row& row : rows) EXPECT_EQ(PortLinkTip(row.port, folder.path(), row.chosen), row.tip);
  EXPECT_EQ(NoDeviceEntry(7), "none (use COM 7 as it is)");
}

}  // namespace
}  // namespace vorlink
