#include "link/port_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

TEST(PortDeviceTest, LinkNamesHaveNoLeadingZero) {
  EXPECT_EQ(PortLinkName(1), "COM1");
  EXPECT_EQ(PortLinkName(12), "COM12");
}

TEST(PortDeviceTest, WithoutLinkThePortIsAnOnBoardOne) {
  TempFolder folder;
  EXPECT_EQ(PortDevice(1, folder.path()), fs::path("/dev/ttyS0"));
  EXPECT_EQ(PortDevice(4, folder.path()), fs::path("/dev/ttyS3"));
}

TEST(PortDeviceTest, PortZeroAndBelowNameNoDevice) {
  TempFolder folder;
  EXPECT_TRUE(PortDevice(0, folder.path()).empty());
  EXPECT_TRUE(PortDevice(-1, folder.path()).empty());
  EXPECT_TRUE(OnBoardDevice(0).empty());
}

TEST(PortDeviceTest, LinkLeadsToItsTarget) {
  TempFolder folder;
  const fs::path device = folder.path() / "device";
  std::ofstream(device).put('x');
  fs::create_symlink(device, folder.path() / "COM1");
  EXPECT_EQ(PortDevice(1, folder.path()), fs::canonical(device));
  // Only the port with a link is moved.
  EXPECT_EQ(PortDevice(2, folder.path()), fs::path("/dev/ttyS1"));
}

TEST(PortDeviceTest, RelativeLinkResolvesFromItsFolder) {
  TempFolder folder;
  fs::create_directories(folder.path() / "dev");
  std::ofstream(folder.path() / "dev" / "tnc").put('x');
  fs::create_symlink("dev/tnc", folder.path() / "COM3");
  EXPECT_EQ(PortDevice(3, folder.path()), fs::canonical(folder.path() / "dev" / "tnc"));
}

TEST(PortDeviceTest, PlainFileNamedLikeThePortIsTaken) {
  TempFolder folder;
  std::ofstream(folder.path() / "COM2").put('x');
  EXPECT_EQ(PortDevice(2, folder.path()), fs::canonical(folder.path() / "COM2"));
}

TEST(PortDeviceTest, DanglingLinkStaysTheDeviceSoTheOpenFails) {
  TempFolder folder;
  fs::create_symlink(folder.path() / "gone", folder.path() / "COM1");
  EXPECT_EQ(PortDevice(1, folder.path()), fs::absolute(folder.path() / "COM1"));
}

TEST(PortDeviceTest, PortIsNamedByItsLinkWhateverTheLinkLeadsTo) {
  TempFolder folder;
  const fs::path link = fs::absolute(folder.path() / "COM1");
  fs::create_symlink(folder.path() / "device", link);
  EXPECT_EQ(PortPath(1, folder.path()), link);
  std::ofstream(folder.path() / "device").put('x');
  EXPECT_EQ(PortPath(1, folder.path()), link);
  EXPECT_EQ(DeviceBehind(link), fs::canonical(folder.path() / "device"));
  // Once the link itself is gone its name still leads nowhere else.
  fs::remove(link);
  EXPECT_EQ(DeviceBehind(link), link);
  EXPECT_EQ(PortPath(1, folder.path()), fs::path("/dev/ttyS0"));
}

TEST(PortDeviceTest, LeadingZeroNameIsNotThePort) {
  TempFolder folder;
  std::ofstream(folder.path() / "COM01").put('x');
  EXPECT_EQ(PortDevice(1, folder.path()), fs::path("/dev/ttyS0"));
}

}  // namespace
}  // namespace vorlink
