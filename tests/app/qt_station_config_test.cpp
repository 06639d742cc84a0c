// vorlink.conf through QSettings: every setting round-trips, a file written
// by earlier versions reads as it was, keys at their default leave the file,
// keys added by hand stay, and a file too big is neither read nor rewritten.
#include "app/qt_station_config.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::ReadText;

std::filesystem::path File(const testing::TempFolder& folder) {
  return folder.path() / kConfFileName;
}

void Write(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

struct RoundTripCase {
  const char* name;
  StationConfig config;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

StationConfig Everything() {
  StationConfig c;
  c.link = {true, {"10.0.0.5", 8001}};
  c.kissServer = {true, {"0.0.0.0", 8200}, true};
  c.capture.writePcap = false;
  c.frames = {std::string("\x01\xd9\0\xff geometry", 14), "splitter"};
  c.messages.geometry = "messages";
  c.heard.geometry = "heard";
  c.station = {GeoPoint{-33.75, 151.125}, "VK2ABC-9"};
  c.map = {0.5, {2.5, 30}, "http://127.0.0.1:8080/{z}/{x}/{y}.png", true, 64};
  c.mapWindow = {"map", "split"};
  return c;
}

// The defaults with one change.
template <typename Change>
StationConfig With(Change change) {
  StationConfig c;
  change(c);
  return c;
}

const RoundTripCase kRoundTrips[] = {
    {"Link", With([](StationConfig& c) { c.link = {true, {"tnc.local", 8002}}; })},
    {"KissServer", With([](StationConfig& c) { c.kissServer = {true, {"127.0.0.1", 9000}, false}; })},
    {"Capture", With([](StationConfig& c) { c.capture.writePcap = false; })},
    {"Places", With([](StationConfig& c) {
       c.frames = {"g", "s"};
       c.messages.geometry = "m";
       c.heard.geometry = "h";
     })},
    {"Station", With([](StationConfig& c) { c.station = {GeoPoint{49.5, -72.25}, "N0CALL-7"}; })},
    {"StationCallsignOnly", With([](StationConfig& c) { c.station.callsign = "N0CALL"; })},
    {"StationTransmit", With([](StationConfig& c) {
       c.station.transmit = true;
       c.station.path = "WIDE2-2";
     })},
    {"StationDirect", With([](StationConfig& c) { c.station.path = ""; })},
    {"Beacon", With([](StationConfig& c) {
       c.beacon = {true, {'\\', '>'}, "mobile, on 145.800", 45, true};
     })},
    {"Objects", With([](StationConfig& c) {
       c.objects = {{"FIELD DAY", {49.5, -72.25}, {'/', ';'}, "tents, 2 m"},
                    {"NET", {-33.75, 151.125}, {'\\', 'E'}, ""}};
     })},
    {"MapOnlineTiles", With([](StationConfig& c) { c.map.onlineTiles = true; })},
    {"MapNoRangeRings", With([](StationConfig& c) { c.map.ringsKm.clear(); })},
    {"Everything", Everything()},
};

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, ReadsBackWhatItWrote) {
  testing::TempFolder folder;
  ASSERT_TRUE(WriteStationConfig(folder.path(), GetParam().config));
  EXPECT_EQ(ReadStationConfig(folder.path()), GetParam().config);
  // Back at the defaults, every key goes and the file reads as defaults.
  ASSERT_TRUE(WriteStationConfig(folder.path(), StationConfig{}));
  EXPECT_EQ(ReadStationConfig(folder.path()), StationConfig{});
  EXPECT_EQ(ReadText(File(folder)).find('='), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Groups, RoundTripTest, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StationConfigTest, DefaultsMakeNoFile) {
  testing::TempFolder folder;
  EXPECT_TRUE(WriteStationConfig(folder.path(), StationConfig{}));
  EXPECT_FALSE(std::filesystem::exists(File(folder)));
  EXPECT_EQ(ReadStationConfig(folder.path()), StationConfig{});
}

TEST(StationConfigTest, AFileOfEarlierVersionsReadsAsItWas) {
  testing::TempFolder folder;
  Write(File(folder),
                     "[Capture]\nWritePcapCapture=false\n\n"
                     "[FrameBrowser]\ngeometry=@ByteArray(abc)\nsplitter=@ByteArray(de)\n\n"
                     "[incoming]\nkiss_tcp=true\nkiss_tcp_host=10.0.0.5\nkiss_tcp_port=8001\n\n"
                     "[kiss_server]\nclients_transmit=true\nenabled=true\nhost=0.0.0.0\n"
                     "port=8200\nmax_clients=64\n\n"
                     "[map]\nonline_tiles=true\nrange_rings_km=5, 20\ntrack_hours=6\n"
                     "tile_url=http://127.0.0.1/{z}/{x}/{y}.png\ntile_cache_mib=50\n");
  StationConfig expected;
  expected.link = {true, {"10.0.0.5", 8001}};
  expected.kissServer = {true, {"0.0.0.0", 8200}, true};
  expected.kissServerLimits.maxClients = 64;
  expected.capture.writePcap = false;
  expected.frames = {"abc", "de"};
  expected.kissServerLimits.maxClients = 64;
  expected.map = {6, {5, 20}, "http://127.0.0.1/{z}/{x}/{y}.png", true, 50};
  EXPECT_EQ(ReadStationConfig(folder.path()), expected);

  // Written again, a key set by hand stays.
  expected.messages.geometry = "m";
  ASSERT_TRUE(WriteStationConfig(folder.path(), expected));
  EXPECT_NE(ReadText(File(folder)).find("max_clients=64"), std::string::npos);
  EXPECT_EQ(ReadStationConfig(folder.path()), expected);
}

TEST(StationConfigTest, UnusableValuesKeepTheirDefaults) {
  testing::TempFolder folder;
  Write(File(folder), "[incoming]\nkiss_tcp=yes\nkiss_tcp_host=  \nkiss_tcp_port=70000\n"
                                   "[kiss_server]\nport=-1\nenabled=1\n"
                                   "[Station]\nlatitude=95\nlongitude=0\ncallsign=NOT A CALLSIGN\n"
                                   "transmit=1\npath=WIDE1-1,WIDE2-99\n"
                                   "[Beacon]\nenabled=1\nsymbol=xx\n"
                                   "[Objects]\nsize=2\n1\\name=TOOLONGNAME\n1\\symbol=/E\n"
                                   "1\\latitude=1\n1\\longitude=1\n2\\name=X\n2\\symbol=/E\n"
                                   "2\\latitude=91\n2\\longitude=1\n"
                                   "[map]\nonline_tiles=1\nrange_rings_km=ten\ntrack_hours=-1\n"
                                   "tile_url=ftp://host/{z}/{x}/{y}.png\ntile_cache_mib=0\n");
  EXPECT_EQ(ReadStationConfig(folder.path()), StationConfig{});
}

TEST(StationConfigTest, APathWrittenByHandWithoutQuotesIsRead) {
  testing::TempFolder folder;
  Write(File(folder), "[Station]\ntransmit=true\npath=wide1-1, WIDE2-2\n");
  StationConfig expected;
  expected.station.transmit = true;
  expected.station.path = "WIDE1-1,WIDE2-2";
  EXPECT_EQ(ReadStationConfig(folder.path()), expected);
}

TEST(StationConfigTest, TheDataLinkSettingsAreReadFromAx25) {
  testing::TempFolder folder;
  Write(File(folder),
        "[ax25]\nt1_ms=5000\nt3_s=600\nretries=4\nwindow=7\nwindow128=64\npaclen=128\n"
        "version22=true\naccept_incoming=false\n");
  LinkParameters expected;
  expected.initialT1 = std::chrono::milliseconds{5000};
  expected.idlePollT3 = std::chrono::seconds{600};
  expected.retriesN2 = 4;
  expected.windowModulo8 = 7;
  expected.windowModulo128 = 64;
  expected.maxInfoN1 = 128;
  expected.version22 = true;
  expected.acceptIncoming = false;
  EXPECT_EQ(ReadStationConfig(folder.path()).ax25, Ax25Settings{expected});
}

TEST(StationConfigTest, DataLinkSettingsOutOfTheirRangeKeepTheirDefaults) {
  testing::TempFolder folder;
  Write(File(folder),
        "[ax25]\nt1_ms=999\nt3_s=9\nretries=0\nwindow=8\nwindow128=128\npaclen=257\n"
        "version22=yes\naccept_incoming=1\n");
  EXPECT_EQ(ReadStationConfig(folder.path()).ax25, Ax25Settings{});
}

TEST(StationConfigTest, ABeaconIntervalUnderTenMinutesIsTenMinutes) {
  testing::TempFolder folder;
  Write(File(folder), "[Beacon]\ninterval_min=3\n");
  EXPECT_EQ(ReadStationConfig(folder.path()).beacon.intervalMinutes, kLeastBeaconMinutes);
}

TEST(StationConfigTest, AFileTooBigIsNeitherReadNorRewritten) {
  testing::TempFolder folder;
  const std::string big = "[incoming]\nkiss_tcp=true\n" + std::string(kMostStationConfigBytes, '#');
  Write(File(folder), big);
  EXPECT_EQ(ReadStationConfig(folder.path()), StationConfig{});
  EXPECT_FALSE(WriteStationConfig(folder.path(), Everything()));
  EXPECT_EQ(ReadText(File(folder)), big);
}

}  // namespace
}  // namespace vorlink
