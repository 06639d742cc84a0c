// The APRS kinds of frame filter: report kind, distance from a point and
// addressee, on whole frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/frame_text.h"
#include "store/frame_filter.h"
#include "sample_stream.h"

namespace vorlink {
namespace {

using sample::Ax25Frame;

// Each frame's source names it: P1 a position near (49,-72), P2 one far
// away, M1 a message to N0CALL-7, T1 a third-party message to N0CALL, B1 a
// bulletin, I1 an I frame carrying APRS-looking text.
std::vector<std::vector<std::uint8_t>> Frames() {
  const auto ui = [](const char* source, std::string_view info) {
    Ax25Frame f{{"APRS", 0}, {source, 0}, {}, true, sample::kControlUi, sample::kPidNoLayer3,
                sample::Bytes(info)};
    std::vector<std::uint8_t> kiss;
    sample::AppendKissFrame(kiss, 0, sample::EncodeAx25(f));
    return kiss;
  };
  std::vector<std::vector<std::uint8_t>> frames{
      ui("P1", "!4903.50N/07201.75W-"),
      ui("P2", "!3345.67S/15112.34E-"),
      ui("M1", ":N0CALL-7 :hello{1"),
      ui("T1", "}X>APRS,TCPIP::N0CALL   :hi{2"),
      ui("B1", ":BLN1     :net tonight"),
  };
  Ax25Frame i{{"APRS", 0}, {"I1", 0}, {}, true, sample::IControl(0, 0, false),
              sample::kPidNoLayer3, sample::Bytes("!4903.50N/07201.75W-")};
  frames.emplace_back();
  sample::AppendKissFrame(frames.back(), 0, sample::EncodeAx25(i));
  return frames;
}

std::string Picked(const FrameFilterSpec& spec) {
  FrameFilter filter(spec);
  std::string picked;
  for (const auto& bytes : Frames()) {
    FrameText text;
    const int lines = text.Make(bytes, DateTime{}, DisplayOptions{}, nullptr);
    StoredFrame frame{bytes, kNoArrivalTime, DisplayOptions{}, text.LastLeftovers(), lines};
    if (!filter.Matches(frame)) continue;
    // The source callsign sits at bytes 9..10, shifted left one bit.
    picked += static_cast<char>(bytes[9] >> 1);
    picked += static_cast<char>(bytes[10] >> 1);
    picked += ' ';
  }
  return picked;
}

TEST(AprsFilterTest, PicksByKindDistanceAndAddressee) {
  struct Case {
    const char* name;
    FrameFilterSpec spec;
    std::string picked;
  };
  const GeoPoint nearP1{49, -72};
  const Case cases[] = {
      {"kind position", {.aprsType = AprsType::Position}, "P1 P2 "},
      {"kind message", {.aprsType = AprsType::Message}, "M1 "},
      {"kind not-aprs takes the I frame", {.aprsType = AprsType::NotAprs}, "I1 "},
      {"within 10 km", {.withinKm = 10, .near = nearP1}, "P1 "},
      {"within 20000 km", {.withinKm = 20000, .near = nearP1}, "P1 P2 "},
      {"addressee glob, third party judged inside", {.addressee = "n0call*"}, "M1 T1 "},
      {"addressee exact", {.addressee = "N0CALL-7"}, "M1 "},
      {"bulletins by their addressee", {.addressee = "BLN?"}, "B1 "},
      {"with the other criteria", {.from = "M*", .addressee = "N0CALL*"}, "M1 "},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(c.spec.Empty()) << c.name;
    EXPECT_EQ(Picked(c.spec), c.picked) << c.name;
  }
}

}  // namespace
}  // namespace vorlink
