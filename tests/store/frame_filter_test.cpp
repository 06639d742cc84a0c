// The frame filter and the heard list on hand-made frames.
#include "store/frame_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/frame_text.h"
#include "store/heard_list.h"
#include "sample_stream.h"

namespace vorlink {
namespace {

using sample::Ax25Frame;

TEST(GlobTest, StarsQuestionMarksAndCase) {
  struct Case {
    const char* glob;
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      {"N0CALL-*", "N0CALL-7", true},  {"N0CALL-*", "N0CALL", false},
      {"n0call*", "N0CALL", true},     {"n0call*", "N0CALL-15", true},
      {"N0CALL", "N0CALL-1", false},   {"?0CALL", "N0CALL", true},
      {"???", "ABCD", false},          {"*", "", true},
      {"", "", true},                  {"", "A", false},
      {"*-1?", "DIGI-12", true},       {"*-1?", "DIGI-1", false},
      {"W*2*", "WIDE2-2", true},       {"*a*b*c", "xaxxbxxc", true},
      {"*a*b*c", "xaxxbxxcx", false},  {"RELAY", "relay", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GlobMatches(c.glob, c.text), c.matches) << c.glob << " " << c.text;
  }
}

TEST(GlobTest, TypesAndPids) {
  EXPECT_EQ(ParseFrameType("ui"), FrameType::UI);
  EXPECT_EQ(ParseFrameType("I"), FrameType::I);
  EXPECT_EQ(ParseFrameType("s"), FrameType::S);
  EXPECT_EQ(ParseFrameType("U"), FrameType::U);
  EXPECT_FALSE(ParseFrameType("X"));
  EXPECT_FALSE(ParseFrameType(""));
  EXPECT_EQ(ParsePid("F0"), 0xF0);
  EXPECT_EQ(ParsePid("cf"), 0xCF);
  EXPECT_EQ(ParsePid("8"), 0x08);
  EXPECT_FALSE(ParsePid(""));
  EXPECT_FALSE(ParsePid("100"));
  EXPECT_FALSE(ParsePid("G1"));
}

// The frames every filter case runs over, by name.
struct NamedFrame {
  std::string name;
  Ax25Frame frame;
};

std::vector<NamedFrame> HandMadeFrames() {
  const sample::Address aprs{"APZ001"};
  std::vector<NamedFrame> frames;
  frames.push_back({"ui-direct", {aprs, {"N0CALL", 7}, {}, true, sample::kControlUi, 0xF0,
                                  sample::Bytes("!4903.50N Hello World")}});
  frames.push_back({"ui-via", {aprs, {"N0CALL", 0}, {{"RELAY", 1, true}, {"WIDE2", 2}}, true,
                               sample::kControlUi, 0xF0, sample::Bytes("status: on the air")}});
  frames.push_back({"ui-path-unused", {aprs, {"TEST", 12}, {{"WIDE1", 1}}, true,
                                       sample::kControlUi | sample::kPollFinal, 0xF0,
                                       {'c', 0xC4, 'f', 0xE9, 0x0D, 'x'}}});
  frames.push_back({"i-frame", {{"DEMO"}, {"ALPHA", 1}, {}, true, sample::IControl(2, 3, true),
                                0xCF, sample::Bytes("netrom data")}});
  frames.push_back({"s-frame", {{"DEMO"}, {"ALPHA", 1}, {}, false,
                                sample::SControl(sample::kControlRr, 2, false), std::nullopt, {}}});
  frames.push_back({"sabm", {{"DEMO"}, {"ALPHA", 1}, {{"NODE", 0, true}}, true,
                             sample::kControlSabm | sample::kPollFinal, std::nullopt, {}}});
  return frames;
}

void AppendFrames(FrameStore& store, const std::vector<NamedFrame>& frames) {
  FrameText text;
  DisplayOptions options;
  for (const NamedFrame& f : frames) {
    const std::int64_t time = 1000 + static_cast<std::int64_t>(store.EndIndex()) * 60'000;
    std::vector<std::uint8_t> kiss;
    sample::AppendKissFrame(kiss, kCommandData, sample::EncodeAx25(f.frame));
    const int lines = text.Make(kiss, DateTime{}, options, nullptr);
    store.Append(kiss, time, options, text.LastLeftovers(), lines);
  }
}

TEST(FrameFilterTest, CriteriaCombineWithAnd) {
  struct Case {
    const char* name;
    FrameFilterSpec spec;
    std::vector<std::string> expected;
  };
  const std::vector<std::string> all{"ui-direct", "ui-via", "ui-path-unused",
                                     "i-frame",   "s-frame", "sabm"};
  const Case cases[] = {
      {"nothing asked", {}, all},
      {"source with any SSID", {.from = "N0CALL-*"}, {"ui-direct"}},
      {"source without SSID", {.from = "N0CALL"}, {"ui-via"}},
      {"source any", {.from = "n0call*"}, {"ui-direct", "ui-via"}},
      {"destination", {.to = "APZ*"}, {"ui-direct", "ui-via", "ui-path-unused"}},
      {"digipeater, repeated mark aside", {.via = "RELAY-1"}, {"ui-via"}},
      {"digipeater glob", {.via = "WIDE?-*"}, {"ui-via", "ui-path-unused"}},
      {"digipeater none", {.via = "*"}, {"ui-via", "ui-path-unused", "sabm"}},
      {"type I", {.type = FrameType::I}, {"i-frame"}},
      {"type S", {.type = FrameType::S}, {"s-frame"}},
      {"type U takes UI", {.type = FrameType::U}, {"ui-direct", "ui-via", "ui-path-unused", "sabm"}},
      {"type UI, P/F either", {.type = FrameType::UI}, {"ui-direct", "ui-via", "ui-path-unused"}},
      {"PID F0", {.pid = 0xF0}, {"ui-direct", "ui-via", "ui-path-unused"}},
      {"PID CF", {.pid = 0xCF}, {"i-frame"}},
      {"text, case aside", {.text = "hello WORLD"}, {"ui-direct"}},
      {"text in the code page", {.text = "\xC3\xA4" "F\xC3\x89"}, {"ui-path-unused"}},
      {"control byte shown as a dot", {.text = "\xC3\xA9.x"}, {"ui-path-unused"}},
      {"text not in the code page", {.text = "\xE2\x98\x83"}, {}},
      {"all together", {.from = "N0CALL*", .to = "APZ001", .via = "WIDE2-2", .type = FrameType::UI,
                        .pid = 0xF0, .text = "AIR"}, {"ui-via"}},
      {"all but one", {.from = "N0CALL*", .type = FrameType::I}, {}},
      {"a link one way", {.from = "DEMO", .to = "ALPHA-1"}, {}},
      {"a link both ways", {.from = "DEMO", .to = "ALPHA-1", .bothWays = true},
       {"i-frame", "s-frame", "sabm"}},
      {"both ways still wants both calls", {.from = "DEMO", .to = "APZ001", .bothWays = true}, {}},
  };
  const std::vector<NamedFrame> frames = HandMadeFrames();
  FrameStore store;
  AppendFrames(store, frames);
  for (const Case& c : cases) {
    FrameFilter filter(c.spec);
    FilteredFrames shown;
    EXPECT_EQ(FilterFrames(store, filter, 0, store.EndIndex(), shown), store.EndIndex());
    std::vector<std::string> names;
    for (std::size_t k = 0; k < shown.Size(); ++k) names.push_back(frames[shown.At(k)].name);
    EXPECT_EQ(names, c.expected) << c.name;
  }
}

TEST(FrameFilterTest, FilteredLinesMapToTheirFrames) {
  FrameStore store;
  AppendFrames(store, HandMadeFrames());
  FrameFilter filter({.type = FrameType::UI});
  FilteredFrames shown;
  FilterFrames(store, filter, 0, store.EndIndex(), shown);
  ASSERT_EQ(shown.Size(), 3u);
  std::uint64_t line = 0;
  for (std::size_t k = 0; k < shown.Size(); ++k) {
    for (int l = 0; l < store.Frame(shown.At(k)).lines; ++l, ++line) {
      const LinePosition at = shown.LocateLine(line);
      EXPECT_EQ(at.frame, shown.At(k));
      EXPECT_EQ(at.line, l);
    }
  }
  EXPECT_EQ(line, shown.LineCount());
  EXPECT_EQ(shown.NextFrame(0), 1u);
  EXPECT_EQ(shown.NextFrame(1), 2u);
  EXPECT_FALSE(store.Holds(shown.NextFrame(2)));
  shown.Prune(2);
  EXPECT_EQ(shown.Size(), 1u);
  EXPECT_EQ(shown.LineCount(), static_cast<std::uint64_t>(store.Frame(2).lines));
  EXPECT_EQ(shown.LocateLine(0).frame, 2u);
}

TEST(HeardListTest, CountsDirectAndViaWithFirstAndLastHeard) {
  std::vector<NamedFrame> frames = HandMadeFrames();
  frames.push_back(frames[1]);  // N0CALL via RELAY-1* again
  frames.push_back(frames[2]);  // TEST-12 over an unused path: direct
  FrameStore store;
  AppendFrames(store, frames);
  // A frame too short for its header names nobody.
  store.Append(std::vector<std::uint8_t>{kFend, 0, 0x41, kFend}, 5, {}, {}, 7);
  HeardList heard;
  heard.Compute(store);
  const std::vector<HeardStation> list = heard.Sorted();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].callsign, "ALPHA-1");
  EXPECT_EQ(list[0].frames, 3u);
  EXPECT_EQ(list[0].direct, 2u);
  EXPECT_EQ(list[0].via, 1u);
  EXPECT_EQ(list[1].callsign, "N0CALL");
  EXPECT_EQ(list[1].frames, 2u);
  EXPECT_EQ(list[1].direct, 0u);
  EXPECT_EQ(list[1].via, 2u);
  EXPECT_EQ(HeardTimeText(list[1].firstHeard), "1970-01-01 00:01:01");
  EXPECT_EQ(HeardTimeText(list[1].lastHeard), "1970-01-01 00:06:01");
  EXPECT_EQ(list[2].callsign, "TEST-12");
  EXPECT_EQ(list[2].direct, 2u);
  EXPECT_EQ(list[3].callsign, "N0CALL-7");
  EXPECT_EQ(HeardTimeText(kNoArrivalTime), "-");

}

TEST(HeardListTest, CatchesUpWithTheFramesSinceTheLastCall) {
  const std::vector<NamedFrame> frames = HandMadeFrames();
  FrameStore store;
  HeardList live;
  live.CatchUp(store);
  EXPECT_EQ(live.Size(), 0u);
  AppendFrames(store, {frames[0], frames[1]});
  live.CatchUp(store);
  AppendFrames(store, {frames[1]});
  live.CatchUp(store);
  live.CatchUp(store);  // nothing new: nothing counted twice
  const std::vector<HeardStation> list = live.Sorted();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].callsign, "N0CALL");
  EXPECT_EQ(list[0].frames, 2u);
  EXPECT_EQ(list[1].frames, 1u);
  store.Clear();
  AppendFrames(store, {frames[3]});
  live.CatchUp(store);
  EXPECT_EQ(live.Sorted()[0].callsign, "N0CALL");
  EXPECT_EQ(live.Size(), 3u);
}

}  // namespace
}  // namespace vorlink
