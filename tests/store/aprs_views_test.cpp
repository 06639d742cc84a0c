// What the operator sees of APRS, made below the windows: a frame's detail
// lines, the heard list's APRS columns, and the messages with their answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aprs_store.h"
#include "aprs/own_station.h"
#include "store/aprs_message_list.h"
#include "store/frame_detail.h"
#include "store/heard_columns.h"

namespace vorlink {

void PrintTo(const AprsDetailLine& line, std::ostream* os) {
  *os << line.level << " " << line.label << ": " << line.value;
}

namespace {

using testing::AppendAprs;
using testing::AppendKiss;
using L = AprsDetailLine;

constexpr GeoPoint kHome{49.0, -72.0};

TEST(FrameDetailTest, KissAx25AndAprsWithUnits) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> kiss;
    std::optional<GeoPoint> from;
    std::vector<L> expected;
  };
  const std::vector<L> kiss = {{0, "KISS", "KISS Frame (without CRC)"}, {1, "Command byte", "00"},
                               {1, "Port", "0"}};
  const auto with = [&](std::vector<L> tail) {
    std::vector<L> lines = kiss;
    lines.insert(lines.end(), tail.begin(), tail.end());
    return lines;
  };
  const std::vector<L> header = {
      {0, "AX.25", "UI"},          {1, "Destination", "APRS"},
      {1, "Source", "N0CALL-7"},   {1, "Digipeater 1", "WIDE1-1 (repeated)"},
      {1, "Digipeater 2", "WIDE2-2"}, {1, "Control", "03"},
      {1, "PID", "F0 (no layer 3)"}};
  const auto position = [&](std::vector<L> measured) {
    std::vector<L> lines = with({{1, "Bytes received", "72"}});
    lines.insert(lines.end(), header.begin(), header.end());
    lines.push_back({1, "Payload bytes", "39"});
    lines.push_back({0, "APRS", ""});
    const std::vector<L> aprs = {
        {1, "Report", "position"}, {1, "Latitude", "49.058333\u00B0"},
        {1, "Longitude", "-72.029167\u00B0"}, {1, "Locator", "FN39xb"}};
    lines.insert(lines.end(), aprs.begin(), aprs.end());
    lines.insert(lines.end(), measured.begin(), measured.end());
    const std::vector<L> rest = {
        {1, "Ambiguity", "none"}, {1, "Symbol table", "/"}, {1, "Symbol code", ">"}, {1, "Symbol", "Car"},
        {1, "Messaging", "no"}, {1, "Course", "88\u00B0"}, {1, "Speed", "66.7 km/h"},
        {1, "Speed", "36 kn"}, {1, "Altitude", "376.1 m (1234 ft)"}, {1, "Comment", " hi"}};
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
  };
  const auto viaTwo = [](std::string_view info) {
    return testing::AprsKissFrame("N0CALL-7", info, {{"WIDE1", 1, true}, {"WIDE2", 2}});
  };
  sample::Ax25Frame iFrame{{"DEMO"}, {"ALPHA", 1}, {}, true, sample::IControl(2, 3, true), 0xCF,
                           sample::Bytes("data")};
  std::vector<std::uint8_t> netrom;
  sample::AppendKissFrame(netrom, 0x10, sample::EncodeAx25(iFrame));
  const Case cases[] = {
      {"position measured from home", viaTwo("!4903.50N/07201.75W>088/036/A=001234 hi"), kHome,
       position({{1, "Distance", "6.8 km"}, {1, "Bearing", "342\u00B0"}})},
      {"position without home", viaTwo("!4903.50N/07201.75W>088/036/A=001234 hi"), {},
       position({})},
      {"I frame, port 1, no APRS", netrom, kHome,
       {{0, "KISS", "unknown Protocol"}, {1, "Command byte", "10"}, {1, "Port", "1"},
        {1, "Bytes received", "23"}, {0, "AX.25", "I23+"}, {1, "Destination", "DEMO"},
        {1, "Source", "ALPHA-1"}, {1, "Control", "56"}, {1, "PID", "CF (NET/ROM)"},
        {1, "Payload bytes", "4"}}},
      {"too short for a header", {kFend, 0x00, 0x41, 0x42, kFend}, kHome,
       with({{1, "Bytes received", "5"}, {0, "AX.25", "frame too short for its header"}})},
  };
  for (const Case& c : cases) {
    FrameStore store;
    AppendKiss(store, c.kiss);
    EXPECT_EQ(FrameDetailLines(store.Frame(0), c.from), c.expected) << c.name;
  }
}

TEST(OwnStationTest, PositionAsDegreesOrLocator) {
  struct Case {
    const char* text;
    std::optional<GeoPoint> expected;
  };
  const Case cases[] = {
      {"49.5,-72.25", GeoPoint{49.5, -72.25}},
      {" 49.5 , -72.25 ", GeoPoint{49.5, -72.25}},
      {"FN39", GeoPoint{49.5, -73}},
      {"fn39", GeoPoint{49.5, -73}},
      {"91,0", std::nullopt},
      {"49.5", std::nullopt},
      {"FN3", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseOwnPosition(c.text), c.expected) << c.text;
  EXPECT_EQ(OwnPositionText({49.058333, -72.029167}), "49.05833,-72.02917");
}

TEST(FrameDetailTest, TextIndentsByLevel) {
  EXPECT_EQ(DetailText({{0, "APRS", ""}, {1, "Report", "status"}, {2, "Wind", "3 m/s"}}),
            "APRS\n  Report\tstatus\n    Wind\t3 m/s\n");
}

TEST(HeardColumnsTest, WhatEachStationSaidLast) {
  struct Case {
    const char* name;
    std::vector<std::string> infos;  // from one station, in turn
    std::optional<GeoPoint> from;
    std::vector<std::string> cells;  // Symbol .. Weather
  };
  const Case cases[] = {
      {"plain text", {"hello"}, kHome, {"", "", "", "", "", "", "", "", ""}},
      {"position with motion and altitude", {"!4903.50N/07201.75W>088/036/A=001234 hi"}, kHome,
       {"Car", "49.05833, -72.02917", "FN39xb", "6.8 km", "342\u00B0", "88\u00B0 66.7 km/h",
        "376 m", "hi", ""}},
      {"no home: no distance nor bearing", {"!4903.50N/07201.75W>"}, {},
       {"Car", "49.05833, -72.02917", "FN39xb", "", "", "", "", "", ""}},
      {"a new position drops the old motion", {"!4903.50N/07201.75W>088/036", "!4903.50N/07201.75W-"},
       kHome, {"House QTH (VHF)", "49.05833, -72.02917", "FN39xb", "6.8 km", "342\u00B0", "", "", "",
               ""}},
      {"status after a comment", {"!4903.50N/07201.75W>on the road", ">at home"}, kHome,
       {"Car", "49.05833, -72.02917", "FN39xb", "6.8 km", "342\u00B0", "", "", "at home", ""}},
      {"weather summary", {"_10090556c220s004g005t077r001h50b09900"}, kHome,
       {"", "", "", "", "", "", "", "",
        "25\u00B0C, 50 %, 990 hPa, wind 220\u00B0 1.79 m/s, gust 2.24 m/s, rain 1 h 0.25 mm"}},
      {"a Maidenhead beacon keeps its comment", {"[IO91SX] 35 miles NNW of London"}, kHome,
       {"", "", "", "", "", "", "", "35 miles NNW of London", ""}},
      {"a DF report's bearing and NRQ are no comment", {"!4903.50N/07201.75W\\088/036/270/729 fox"},
       {}, {"Triangle (DF)", "49.05833, -72.02917", "FN39xb", "", "", "88\u00B0 66.7 km/h", "", "fox",
            ""}},
      {"raw station data leaves the summary", {"_10090556c220s004g005t077", "#50B7500820082"}, kHome,
       {"", "", "", "", "", "", "", "", "25\u00B0C, wind 220\u00B0 1.79 m/s, gust 2.24 m/s"}},
      {"objects speak of something else", {";LEADER   *092345z4903.50N/07201.75W>"}, kHome,
       {"", "", "", "", "", "", "", "", ""}},
  };
  for (const Case& c : cases) {
    FrameStore store;
    for (const std::string& info : c.infos) AppendAprs(store, "N0CALL", info);
    HeardList heard;
    heard.Compute(store);
    ASSERT_EQ(heard.Size(), 1u) << c.name;
    std::vector<std::string> cells;
    for (std::size_t k = 6; k < kHeardColumns.size(); ++k) {
      cells.push_back(kHeardColumns[k].text(heard.At(0), c.from));
    }
    EXPECT_EQ(cells, c.cells) << c.name;
  }
}

TEST(HeardColumnsTest, DistanceSortsByValueAndBlanksFirst) {
  FrameStore store;
  AppendAprs(store, "FAR", "!5000.00N/07200.00W>");
  AppendAprs(store, "NEAR", "!4901.00N/07200.00W>");
  AppendAprs(store, "NONE", ">status only");
  HeardList heard;
  heard.Compute(store);
  const HeardColumn& distance = kHeardColumns[kHeardDistanceColumn];
  EXPECT_EQ(distance.key(heard.At(1), kHome), 1853);
  EXPECT_LT(distance.key(heard.At(1), kHome), distance.key(heard.At(0), kHome));
  EXPECT_LT(distance.key(heard.At(2), kHome), distance.key(heard.At(1), kHome));
}

// Rows as "from>to text #number state copies".
std::vector<std::string> Rows(const AprsMessageList& list) {
  std::vector<std::string> rows;
  for (std::size_t k = 0; k < list.Size(); ++k) {
    const AprsMessageEntry& e = list.At(k);
    rows.push_back(e.from + ">" + e.to + " " + e.text + " #" + e.number + " " +
                   std::string(AprsMessageStateText(e.state)) + " " + std::to_string(e.copies));
  }
  return rows;
}

TEST(AprsMessageListTest, AnswersAreMatchedToTheMessageTheyAnswer) {
  struct Frame {
    const char* source;
    const char* info;
  };
  const Frame frames[] = {
      {"N0CALL", ":W1AW     :hello{1"},
      {"N0CALL", ":W1AW     :hello{1"},             // sent again
      {"W1AW", ":N0CALL   :ack1"},                 // answers the first
      {"N0CALL", ":W1AW     :second{2"},
      {"W1AW", ":N0CALL   :rej2"},
      {"N0CALL", ":W1AW     :third{3"},
      {"W1AW", ":n0call   :ack3 "},                // case and a trailing blank aside
      {"N0CALL", ":W1AW     :fourth{4"},
      {"W1AW", ":N0CALL   :ack9"},                 // answers nothing heard
      {"OTHER", ":N0CALL   :ack4"},                // not from the addressee
      {"W1AW", ":N0CALL   :reply{AB}4"},           // a reply-ack answers 4
      {"KB2", ":BLN1     :net tonight"},
      {"KB2", ":BLNA     :hamfest"},
      {"IGATE", "}K1ABC>APRS,TCPIP*::N0CALL   :via the net{7"},
      {"N0CALL", "!4903.50N/07201.75W>not a message"},
  };
  FrameStore store;
  for (const Frame& f : frames) AppendAprs(store, f.source, f.info);
  AprsMessageList list;
  EXPECT_FALSE(list.CatchUp(store));
  EXPECT_EQ(Rows(list), (std::vector<std::string>{
                            "N0CALL>W1AW hello #1 acked 2",
                            "N0CALL>W1AW second #2 rejected 1",
                            "N0CALL>W1AW third #3 acked 1",
                            "N0CALL>W1AW fourth #4 acked 1",
                            "W1AW>N0CALL reply #AB  1",
                            "KB2>BLN1 net tonight #  1",
                            "KB2>BLNA hamfest #  1",
                            "K1ABC>N0CALL via the net #7  1",
                        }));
  EXPECT_EQ(list.At(5).kind, AprsMessage::Kind::Bulletin);
  EXPECT_EQ(list.At(6).kind, AprsMessage::Kind::Announcement);
  EXPECT_EQ(list.At(0).time, 60'000);
  EXPECT_EQ(list.TakeChanged(), (std::vector<std::uint64_t>{0, 1, 2, 3}));
  EXPECT_TRUE(list.TakeChanged().empty());
  EXPECT_TRUE(AddressedTo(list.At(4), "n0call"));
  EXPECT_FALSE(AddressedTo(list.At(4), "N0CALL-1"));
  EXPECT_FALSE(AddressedTo(list.At(4), ""));
}

TEST(AprsMessageListTest, KeepsTheNewestWhenFullAndForgetsAnswersToTheDropped) {
  FrameStore store;
  for (std::size_t k = 0; k <= kMaxAprsMessages; ++k) {
    AppendAprs(store, "N0CALL", ":W1AW     :m{" + std::to_string(k));
  }
  AppendAprs(store, "W1AW", ":N0CALL   :ack0");  // the dropped one
  AppendAprs(store, "W1AW", ":N0CALL   :ack1");
  AprsMessageList list;
  while (list.CatchUp(store, 1000)) {
  }
  ASSERT_EQ(list.Size(), kMaxAprsMessages);
  EXPECT_EQ(list.FirstNumber(), 1u);
  EXPECT_EQ(list.At(0).number, "1");
  EXPECT_EQ(list.At(0).state, AprsMessageState::Acked);
  EXPECT_EQ(list.At(kMaxAprsMessages - 1).number, std::to_string(kMaxAprsMessages));
}

}  // namespace
}  // namespace vorlink
