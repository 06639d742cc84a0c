// vorlink-decode --aprs, in-process: every data frame as one JSON object a
// line, read back by a JSON parser of its own (python3's).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "decode_run.h"
#include "link/kiss.h"
#include "sample_stream.h"
#include "support/temp_folder.h"

namespace vorlink {
namespace {

using sample::Ax25Frame;
using testing::Decode;

// Each line parsed as JSON and printed again with sorted keys, one a line;
// a line that is no JSON (or no UTF-8) prints "bad".
constexpr const char* kReadBack =
    "python3 -c 'import json,sys\n"
    "for line in sys.stdin.buffer:\n"
    "  try: print(json.dumps(json.loads(line.decode(\"utf-8\")), sort_keys=True))\n"
    "  except Exception: print(\"bad\")' < ";

std::string ReadBack(const std::string& file) {
  std::FILE* p = popen((std::string(kReadBack) + file).c_str(), "r");
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) text.append(buffer, n);
  pclose(p);
  return text;
}

class DecodeAprsTest : public ::testing::Test {
 protected:
  void Add(const char* source, std::vector<sample::Address> path, std::string_view info,
           bool timed = false) {
    Ax25Frame f{{"APRS", 0}, {source, 0}, std::move(path), true, sample::kControlUi,
                sample::kPidNoLayer3, sample::Bytes(info)};
    std::vector<std::uint8_t> kiss;
    sample::AppendKissFrame(kiss, 0, sample::EncodeAx25(f));
    if (timed) sample::AppendTimeFrame(stream, kiss, "2026-03-14 07:12:00.345");
    stream.insert(stream.end(), kiss.begin(), kiss.end());
  }
  std::string Run(std::vector<std::string> args) {
    std::ofstream(capture, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    args.push_back(capture);
    const auto run = Decode(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::ofstream(json, std::ios::binary) << run.out;
    return ReadBack(json);
  }

  testing::TempFolder folder;
  std::string capture = (folder.path() / "capture.kss").string();
  std::string json = (folder.path() / "out.json").string();
  std::vector<std::uint8_t> stream;
};

TEST_F(DecodeAprsTest, EveryFrameAsJsonThatParsesBack) {
  Add("N0CALL", {{"WIDE1", 1, true}, {"WIDE2", 2}}, "!4903.50N/07201.75W>088/036 hi", true);
  Add("WX", {}, "_10090556c...s004g005t077h00");
  Add("T1", {}, "}WB4APR-14>APRS,TCPIP,G9RXG*::G3NRW    :Hi Ian{001");
  Add("ODD", {}, ">quote\" back\\ bell\x07 high\xE9\xFF");
  Add("BAD", {}, "!49");
  Add("MSG", {}, ":N0CALL-7 :hello{MM}AA");
  const std::string out = Run({"--aprs"});
  EXPECT_EQ(out,
            R"({"comment": " hi", "course": 88, "dst": "APRS", "id": 1, "lat": 49.058333, "lon": -72.029167, "messaging": false, "path": ["WIDE1-1*", "WIDE2-2"], "speed_kmh": 66.7, "speed_kn": 36, "src": "N0CALL", "symbol_code": ">", "symbol_table": "/", "time": "2026-03-14T07:12:00.345Z", "type": "position"})" "\n"
            R"({"dst": "APRS", "id": 2, "path": [], "src": "WX", "timestamp": "10090556", "type": "weather", "wx": {"humidity": 100, "temperature": 25, "wind_direction": null, "wind_gust": 2.24, "wind_speed": 1.79}})" "\n"
            R"({"dst": "APRS", "id": 3, "inner": {"addressee": "G3NRW", "dst": "APRS", "msgno": "001", "path": ["TCPIP", "G9RXG*"], "src": "WB4APR-14", "text": "Hi Ian", "type": "message"}, "path": [], "src": "T1", "type": "third-party"})" "\n"
            R"({"dst": "APRS", "id": 4, "path": [], "src": "ODD", "text": "quote\" back\\ bell\u0007 high\u00e9\u00ff", "type": "status"})" "\n"
            R"({"dst": "APRS", "error": "position too short", "id": 5, "path": [], "src": "BAD", "type": "invalid"})" "\n"
            R"({"addressee": "N0CALL-7", "dst": "APRS", "id": 6, "msgno": "MM", "path": [], "replyack": "AA", "src": "MSG", "text": "hello", "type": "message"})" "\n");
}

TEST_F(DecodeAprsTest, GeoJsonHasEveryStationsLastPositionAndTheTracksOfThoseThatMoved) {
  Add("N0CALL", {{"WIDE1", 1, true}}, "!4903.50N/07201.75W>", true);
  Add("N0CALL", {}, "=4904.00N/07202.00W>088/036/A=001234 moving", true);
  Add("N0CALL", {}, "=4904.00N/07202.00W>088/036/A=001234 moving", true);
  Add("BASE", {}, ";LEADER   *092345z4903.50N\\07201.75W#", true);
  Add("MSG", {}, ":N0CALL-7 :hello{1");
  EXPECT_EQ(Run({"--geojson"}),
            R"({"features": [)"
            R"({"geometry": {"coordinates": [-72.033333, 49.066667], "type": "Point"}, "properties": {"altitude_m": 376.1, "callsign": "N0CALL", "comment": " moving", "course": 88, "direct": true, "last_heard": "2026-03-14T07:12:00Z", "speed_kmh": 66.7, "symbol_code": ">", "symbol_table": "/"}, "type": "Feature"}, )"
            R"({"geometry": {"coordinates": [-72.029167, 49.058333], "type": "Point"}, "properties": {"altitude_m": null, "comment": "", "course": null, "direct": true, "last_heard": "2026-03-14T07:12:00Z", "name": "LEADER", "speed_kmh": null, "symbol_code": "#", "symbol_table": "\\"}, "type": "Feature"}, )"
            R"({"geometry": {"coordinates": [[-72.029167, 49.058333], [-72.033333, 49.066667]], "type": "LineString"}, "properties": {"callsign": "N0CALL"}, "type": "Feature"}], )"
            R"("type": "FeatureCollection"})" "\n");
}

TEST_F(DecodeAprsTest, FiltersPickByKindDistanceAndAddressee) {
  Add("P1", {}, "!4903.50N/07201.75W-");
  Add("P2", {}, "!3345.67S/15112.34E-");
  Add("M1", {}, ":N0CALL-7 :hello{1");
  Add("A1", {}, ":N0CALL-7 :ack1");
  struct Case {
    std::vector<std::string> args;
    std::string ids;
  };
  const Case cases[] = {
      {{"--aprs-type", "position"}, "1 2 "},
      {{"--aprs-type=ack"}, "4 "},
      {{"--within", "50", "--near", "49,-72"}, "1 "},
      {{"--addressee", "N0CALL-*"}, "3 4 "},
      {{"--addressee", "N0CALL-*", "--aprs-type", "message"}, "3 "},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--aprs");
    const std::string out = Run(args);
    std::string ids;
    for (std::size_t at = 0; (at = out.find("\"id\": ", at)) != std::string::npos; at += 6) {
      ids += out.substr(at + 6, out.find(',', at) - at - 6) + ' ';
    }
    EXPECT_EQ(ids, c.ids) << c.args[0];
  }
}

TEST_F(DecodeAprsTest, HeardAsJsonWithWhatEachStationSaidLast) {
  Add("N0CALL", {}, "!4903.50N/07201.75W>088/036/A=001234 on the road", true);
  Add("N0CALL", {{"WIDE1", 1, true}}, ":W1AW     :hi{1");
  Add("WX", {}, "_10090556c220s004g005t077h50b09900");
  Add("ODD", {}, ">caf\xE9 \"quoted\"");
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  // Keys sorted: distance and bearing fall in between.
  const std::string altitude = R"({"altitude_m": 376.1, )";
  const std::string n0call =
      R"("callsign": "N0CALL", "comment": "on the road", "course": 88, "direct": 1, )";
  const std::string n0callRest =
      R"("first_heard": "2026-03-14T07:12:00.345Z", "frames": 2, "last_heard": "2026-03-14T07:12:00.345Z", "lat": 49.058333, "locator": "FN39xb", "lon": -72.029167, "speed_kmh": 66.7, "speed_kn": 36, "symbol": "Car", "symbol_code": ">", "symbol_table": "/", "via": 1})" "\n";
  const std::string others =
      R"({"callsign": "ODD", "comment": "caf\u00e9 \"quoted\"", "direct": 1, "first_heard": null, "frames": 1, "last_heard": null, "via": 0})" "\n"
      R"({"callsign": "WX", "direct": 1, "first_heard": null, "frames": 1, "last_heard": null, "via": 0, "wx": {"humidity": 50, "pressure": 990, "temperature": 25, "wind_direction": 220, "wind_gust": 2.24, "wind_speed": 1.79}})" "\n";
  const Case cases[] = {
      {{"--heard", "--json"}, altitude + n0call + n0callRest + others},
      {{"--heard", "--json", "--near", "49,-72"},
       altitude + R"("bearing": 342, )" + n0call + R"("distance_km": 6.8, )" + n0callRest + others},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.args), c.expected) << c.args.back();
}

TEST_F(DecodeAprsTest, WrongFilterValuesAreUsageErrors) {
  const std::vector<std::string> bad[] = {
      {"--aprs-type", "positions"}, {"--within", "x", "--near", "1,2"},
      {"--within", "5"},            {"--near", "91,0", "--within", "5"},
      {"--aprs", "--heard"},        {"--aprs", "--stats"},
      {"--json"},                   {"--near", "49,-72"},
  };
  for (const auto& args : bad) {
    EXPECT_EQ(Decode(args).status, 2) << args[0];
  }
}

}  // namespace
}  // namespace vorlink
