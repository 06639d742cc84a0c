#include "capture/capture_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlink {
namespace {

TEST(CaptureNameTest, StampAndTheNamesTheHousekeepingRecognises) {
  EXPECT_EQ(CaptureStamp({2010, 1, 2, 3, 4, 5, 0}), "02012010_0304");
  EXPECT_EQ(CaptureStamp({2026, 12, 31, 23, 59, 59, 999}), "31122026_2359");
  for (std::string_view extension : kCaptureExtensions) {
    EXPECT_TRUE(IsCaptureFileName(CaptureStamp({2010, 11, 28, 14, 3, 0, 0}) + std::string(extension)));
  }
  EXPECT_TRUE(IsCaptureFileName("28112010_1403.dump"));
  EXPECT_FALSE(IsCaptureFileName("28112010_1403.KSS"));
  EXPECT_FALSE(IsCaptureFileName("28112010-1403.kss"));
  EXPECT_FALSE(IsCaptureFileName("2811201a_1403.kss"));
  EXPECT_FALSE(IsCaptureFileName("28112010_1403.kss.1"));
  EXPECT_FALSE(IsCaptureFileName(".kss"));
  EXPECT_FALSE(IsCaptureFileName("vorlink.ini"));
  EXPECT_FALSE(IsCaptureFileName("vorlink.lock"));
}

}  // namespace
}  // namespace vorlink
