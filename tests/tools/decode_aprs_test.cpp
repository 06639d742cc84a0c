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
           bool timed = false, const char* destination = "APRS",
           std::uint8_t control = sample::kControlUi) {
    Ax25Frame f{{destination, 0}, {source, 0}, std::move(path), true, control,
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
            R"({"comment": " hi", "course": 88, "dst": "APRS", "id": 1, "lat": 49.058333, "lon": -72.029167, "messaging": false, "path": ["WIDE1-1*", "WIDE2-2"], "posambiguity": 0, "speed_kmh": 66.7, "speed_kn": 36, "src": "N0CALL", "symbol_code": ">", "symbol_table": "/", "time": "2026-03-14T07:12:00.345Z", "type": "position"})" "\n"
            R"({"dst": "APRS", "id": 2, "path": [], "src": "WX", "timestamp": "10090556", "type": "weather", "wx": {"humidity": 100, "temperature": 25, "wind_direction": null, "wind_gust": 2.24, "wind_speed": 1.79}})" "\n"
            R"({"dst": "APRS", "id": 3, "inner": {"addressee": "G3NRW", "dst": "APRS", "msgno": "001", "path": ["TCPIP", "G9RXG*"], "src": "WB4APR-14", "text": "Hi Ian", "type": "message"}, "path": [], "src": "T1", "type": "third-party"})" "\n"
            R"({"dst": "APRS", "id": 4, "path": [], "src": "ODD", "text": "quote\" back\\ bell\u0007 high\u00e9\u00ff", "type": "status"})" "\n"
            R"({"dst": "APRS", "error": "position too short", "id": 5, "path": [], "src": "BAD", "type": "invalid"})" "\n"
            R"({"addressee": "N0CALL-7", "dst": "APRS", "id": 6, "msgno": "MM", "path": [], "replyack": "AA", "src": "MSG", "text": "hello", "type": "message"})" "\n");
}

TEST_F(DecodeAprsTest, ReportFamiliesAsJson) {
  struct Row {
    const char* name;
    const char* destination;
    std::string info;
    std::string json;  // sorted keys, without dst, id, path and src
  };
  const Row rows[] = {
      {"DF report", "APRS", "=4903.50N/07201.75W\\088/036/270/729",
       R"({"bearing": 270, "course": 88, "lat": 49.058333, "lon": -72.029167, "messaging": true, "nrq": "729", "posambiguity": 0, "speed_kmh": 66.7, "speed_kn": 36, "symbol_code": "\\", "symbol_table": "/", "type": "position"})"},
      {"Mic-E: posambiguity 0", "S32U6T", "`d\x1d""g\x1f""Xt>/`hi|!!!!|",
       R"({"comment": "hi", "course": 88, "lat": 33.427333, "lon": -72.029167, "mice_msg": "M3", "posambiguity": 0, "speed_kmh": 66.7, "speed_kn": 36, "symbol_code": ">", "symbol_table": "/", "tlm_analog": [0, null, null, null, null], "tlm_seq": "0", "type": "mic-e"})"},
      {"lower-case hemisphere", "APRS", "!4903.50n/07201.75w-",
       R"({"lat": 49.058333, "lon": -72.029167, "messaging": false, "posambiguity": 0, "symbol_code": "-", "symbol_table": "/", "type": "position"})"},
      {"compressed object weather", "APRS", ";WX       *092345z/5L!!<*e7_7P[g005t077",
       R"({"alive": true, "lat": 49.5, "lon": -72.750004, "name": "WX", "posambiguity": 0, "symbol_code": "_", "symbol_table": "/", "timestamp": "092345z", "type": "object", "wx": {"temperature": 25, "wind_direction": 88, "wind_gust": 2.24, "wind_speed": 18.64}})"},
      {"telemetry range and fractions", "APRS", "T#001,-2147483648,2147483647,0.25,-1.5,0,10101010",
       R"({"tlm_analog": [-2147483648, 2147483647, 0.25, -1.5, 0], "tlm_bits": "10101010", "tlm_seq": "001", "type": "telemetry"})"},
      {"bit sense and project", "APRS", ":N0QBF-11 :BITS.10110000,Big Balloon, flight 2",
       R"({"addressee": "N0QBF-11", "tlm_bits": "10110000", "tlm_kind": "BITS", "tlm_project": "Big Balloon, flight 2", "type": "telemetry-message"})"},
      {"RMC without a fix", "APRS", "$GPRMC,063909,V,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52",
       R"({"text": "$GPRMC,063909,V,3349.4302,N,11700.3721,W,43.022,89.3,291099,13.1,E*52", "type": "nmea"})"},
      {"GGA altitude", "APRS", "$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,75.7,M,47.6,M,,*62",
       R"({"altitude_m": 75.7, "lat": 51.96627, "lon": -0.48876, "posambiguity": 0, "text": "$GPGGA,102705,5157.9762,N,00029.3256,W,1,04,2.0,75.7,M,47.6,M,,*62", "type": "nmea"})"},
      {"user-defined", "APRS", "{Q1qwerty",
       R"({"packet_type": "1", "text": "Q1qwerty", "type": "user-defined", "user_id": "Q"})"},
      {"no data type", "ID", "N0CALL/R RELAY/D",
       R"({"text": "N0CALL/R RELAY/D", "type": "not-aprs"})"},
      {"raw Ultimeter", "APRS", "$ULTW0031003702CE0069----000086A00001----011901CC00000005",
       R"({"type": "weather", "wx_raw": "$ULTW0031003702CE0069----000086A00001----011901CC00000005"})"},
      {"raw Peet Bros", "APRS", "*7007600000000",
       R"({"type": "weather", "wx_raw": "*7007600000000"})"},
      {"Maidenhead beacon", "APRS", "[IO91SX] 35 miles NNW of London",
       R"({"comment": " 35 miles NNW of London", "maidenhead": "IO91SX", "type": "maidenhead"})"},
  };
  for (const Row& r : rows) Add("N0CALL", {}, r.info, false, r.destination);
  Add("N0CALL", {}, "connected text", false, "W1AW", sample::IControl(0, 0, false));
  std::string out = Run({"--aprs"});
  // The frame's own fields are the same in every row.
  for (const char* header : {R"("dst": "APRS", )", R"("dst": "S32U6T", )", R"("dst": "ID", )",
                             R"("dst": "W1AW", )", R"("path": [], )", R"("src": "N0CALL", )"}) {
    for (std::size_t at; (at = out.find(header)) != std::string::npos;) {
      out.erase(at, std::string_view(header).size());
    }
  }
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
    std::string line = out.substr(at, end - at);
    const std::size_t id = line.find(R"("id": )");
    line.erase(id, line.find(", ", id) + 2 - id);
    lines.push_back(line);
  }
  ASSERT_EQ(lines.size(), std::size(rows) + 1);
  for (std::size_t k = 0; k < std::size(rows); ++k) EXPECT_EQ(lines[k], rows[k].json) << rows[k].name;
  EXPECT_EQ(lines.back(), R"({"text": "connected text", "type": "not-aprs"})") << "I frame";
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
