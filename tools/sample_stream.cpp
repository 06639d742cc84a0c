#include "sample_stream.h"

#include <array>
#include <cstdio>

#include "link/kiss.h"

namespace vorlink::sample {
namespace {

constexpr std::size_t kCallsignLength = 6;
constexpr std::uint8_t kSsidReserved = 0x60;  // bits 6 and 5, set when unused
constexpr std::uint8_t kSsidHighBit = 0x80;   // C bit, or has-been-repeated
constexpr std::uint8_t kSsidLast = 0x01;      // address extension bit
constexpr std::uint16_t kCrc16Reflected = 0xA001;

// Names that cannot be anybody's callsign (no digit), and the usual
// placeholder; digipeater aliases; APRS destinations from the experimental
// APZ range.
constexpr std::array<std::string_view, 14> kStations{
    "N0CALL", "NOCALL", "TEST", "DEMO", "SAMPLE", "ALPHA", "BRAVO",
    "DELTA",  "ECHO",   "HOTEL", "KILO", "LIMA",   "OSCAR", "TANGO"};
constexpr std::array<std::string_view, 6> kAliases{"RELAY", "HOP", "DIGI", "NODE", "GATE", "TRACE"};
constexpr std::array<std::string_view, 4> kAprsDestinations{"APZ001", "APZVLK", "APZ123", "APZ999"};
constexpr std::array<std::string_view, 4> kTextDestinations{"ID", "BEACON", "CQ", "QST"};

constexpr std::array<std::string_view, 12> kComments{
    "test station",
    "VORLINK sample traffic: weekly net on Thursdays 2000 local, all welcome",
    "home station, 40 W into a vertical at 12 m, monitoring the local node",
    "PHG2360/sample beacon",
    "mobile, listening on the local net",
    "VORLINK sample traffic",
    "battery 12.6V, solar 0.4A",
    "portable, back at 18z",
    "digi and igate test",
    "",
    "fill-in digipeater, please ignore",
    "weekend camp site"};
constexpr std::array<std::string_view, 6> kStatuses{
    ">on the air", ">Net tonight 2000z", ">listening, QRV",
    ">sample status text", ">away from the radio", ">battery low"};
constexpr std::array<std::string_view, 8> kMessages{
    "hello",        "are you there?", "QSL, thanks",    "meet at the usual place",
    "73",           "test 1 2 3",     "on my way home", "copy the bulletin?"};
constexpr std::array<std::string_view, 6> kBeaconTexts{
    "Hello from the sample generator",
    "Station testing, please ignore",
    "QST all stations: sample bulletin follows",
    "node open for connects, type ? for help",
    "ID",
    "beacon every 10 minutes"};
constexpr std::array<std::string_view, 10> kSessionLines{
    "Welcome to the DEMO mailbox, type H for help\r",
    "DEMO> ",
    "L\r",
    "Msg#  TR  SIZE TO     FROM   DATE  SUBJECT\r"
    "  12  PN   412 N0CALL TEST   0314  sample message\r"
    "  11  BN  1020 ALL    DELTA  0313  club meeting\r",
    "R 12\r",
    "Hello,\rthis is only a sample message body.\r73 de TEST\r",
    "B\r",
    "Bye, 73\r",
    "Connected to NODE\r",
    "ALPHA:NODE} Connected to DEMO\r"};
constexpr std::string_view kMailText =
    "Hello all,\r\rthe club meeting moves to the second Tuesday of the month, "
    "starting at 19:30 in the usual room. On the agenda: the new digipeater on the "
    "hill, the antenna work party in spring, and the field day plans. Bring your "
    "ideas and, if you can, a spare power supply for the test bench.\r\r"
    "The packet node is back on the air after the lightning damage last month. "
    "It runs on the old frequency again, with the mailbox and the APRS digipeater "
    "on the same radio. Please report any trouble with connects or forwarding.\r\r"
    "For sale: two-metre mobile radio, 50 W, with microphone and mounting bracket; "
    "a 9600 baud capable TNC, boxed; assorted coax and connectors. Offers by "
    "message to TEST at the mailbox.\r\r73 and see you on the air,\rthe sample club\r";
constexpr std::array<std::uint8_t, 4> kSKinds{kControlRr, kControlRnr, kControlRej, kControlSrej};
constexpr std::array<char, 8> kSymbols{'-', '>', 'k', '[', '_', 'y', '#', '&'};

void AppendAddress(std::vector<std::uint8_t>& out, const Address& a, bool highBit, bool last) {
  for (std::size_t i = 0; i < kCallsignLength; ++i) {
    const char c = i < a.callsign.size() ? a.callsign[i] : ' ';
    out.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(c) << 1));
  }
  out.push_back(static_cast<std::uint8_t>((highBit ? kSsidHighBit : 0) | kSsidReserved |
                                          (a.ssid & 0x0F) << 1 | (last ? kSsidLast : 0)));
}

void AppendText(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

template <typename T, std::size_t N>
const T& PickFrom(SampleRandom& random, const std::array<T, N>& items) {
  return random.Pick(std::span<const T>(items));
}

int RandomSsid(SampleRandom& random) {
  return random.Chance(40) ? 0 : static_cast<int>(random.Below(16));
}

Address RandomStation(SampleRandom& random) {
  return {PickFrom(random, kStations), RandomSsid(random), false};
}

// 0 to 8 digipeaters, mostly one to three, the first ones already used.
std::vector<Address> RandomPath(SampleRandom& random) {
  static constexpr std::array<std::uint32_t, 9> kWeights{15, 20, 30, 15, 8, 5, 3, 2, 2};
  std::uint32_t roll = random.Below(100);
  std::size_t count = 0;
  while (roll >= kWeights[count]) roll -= kWeights[count++];
  std::vector<Address> path;
  for (std::size_t i = 0; i < count; ++i) {
    switch (random.Below(4)) {
      case 0: path.push_back({"WIDE1", 1, false}); break;
      case 1: path.push_back({"WIDE2", 1 + static_cast<int>(random.Below(2)), false}); break;
      case 2: path.push_back({PickFrom(random, kAliases), 0, false}); break;
      default: path.push_back(RandomStation(random)); break;
    }
  }
  const std::size_t used = count == 0 ? 0 : random.Below(static_cast<std::uint32_t>(count + 1));
  for (std::size_t i = 0; i < used; ++i) path[i].repeated = true;
  return path;
}

// Numbers and texts are appended one draw per statement: the order in
// which function arguments or operands are evaluated is up to the compiler,
// and the stream must not depend on it.
class Text {
 public:
  explicit Text(SampleRandom& random) : random_(random) {}
  Text& operator<<(std::string_view s) {
    text_ += s;
    return *this;
  }
  Text& operator<<(char c) {
    text_ += c;
    return *this;
  }
  // A random number below bound, zero-padded to width digits.
  Text& Number(std::uint32_t bound, int width) {
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%0*u", width,
                                static_cast<unsigned>(random_.Below(bound)));
    text_.append(digits, static_cast<std::size_t>(n));
    return *this;
  }
  Text& Latitude() {
    Number(90, 2).Number(60, 2) << '.';
    Number(100, 2) << (random_.Chance(80) ? 'N' : 'S');
    return *this;
  }
  Text& Longitude() {
    Number(180, 3).Number(60, 2) << '.';
    Number(100, 2) << (random_.Chance(60) ? 'W' : 'E');
    return *this;
  }
  Text& Position(char symbol) {
    Latitude() << '/';
    Longitude() << symbol;
    return *this;
  }
  Text& TimeOfDay() {
    text_ += static_cast<char>('1' + random_.Below(2));
    Number(10, 1).Number(24, 2).Number(60, 2) << 'z';
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  SampleRandom& random_;
  std::string text_;
};

std::string Addressee(const Address& a) {
  std::string name = a.callsign;
  if (a.ssid != 0) name += "-" + std::to_string(a.ssid);
  name.resize(9, ' ');
  return name;
}

// One APRS-style information field.
std::string AprsPayload(SampleRandom& random) {
  const char symbol = PickFrom(random, kSymbols);
  Text t(random);
  switch (random.Below(9)) {
    case 0:
    case 1:
      t << '!';
      t.Position(symbol) << PickFrom(random, kComments);
      break;
    case 2:
      t << '=';
      t.Position(symbol).Number(360, 3) << '/';
      t.Number(120, 3) << ' ';
      t << PickFrom(random, kComments);
      break;
    case 3:
      t << '@';
      t.TimeOfDay().Position('_').Number(360, 3) << '/';
      t.Number(30, 3) << 'g';
      t.Number(50, 3) << 't';
      t.Number(100, 3) << 'r';
      t.Number(20, 3) << 'p';
      t.Number(40, 3) << 'P';
      t.Number(40, 3) << 'h';
      t.Number(100, 2) << "b10";
      t.Number(300, 3);
      break;
    case 4:
      t << PickFrom(random, kStatuses);
      break;
    case 5:
      t << ':' << Addressee(RandomStation(random)) << ':';
      t << PickFrom(random, kMessages) << '{';
      t << std::to_string(1 + random.Below(99));
      break;
    case 6:
      t << ':' << Addressee(RandomStation(random)) << ":ack";
      t << std::to_string(1 + random.Below(99));
      break;
    case 7:
      t << ';' << Addressee({"EVENT", static_cast<int>(random.Below(10)), false}) << '*';
      t.TimeOfDay().Position(symbol) << "club meeting";
      break;
    default:
      t << "T#";
      t.Number(1000, 3);
      for (int channel = 0; channel < 5; ++channel) {
        t << ',';
        t.Number(256, 3);
      }
      t << ',';
      for (int bit = 0; bit < 8; ++bit) t.Number(2, 1);
      break;
  }
  return t.Take();
}

std::vector<std::uint8_t> RandomBytes(SampleRandom& random, std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random.Below(256));
  return bytes;
}

Ax25Frame RandomUi(SampleRandom& random) {
  Ax25Frame f;
  f.source = RandomStation(random);
  f.digipeaters = RandomPath(random);
  if (random.Chance(85)) {
    f.destination = {PickFrom(random, kAprsDestinations), 0, false};
    AppendText(f.info, AprsPayload(random));
  } else {
    f.destination = {PickFrom(random, kTextDestinations), 0, false};
    AppendText(f.info, PickFrom(random, kBeaconTexts));
  }
  return f;
}

// Connected-mode traffic between two stations, one frame of it.
Ax25Frame RandomConnected(SampleRandom& random) {
  Ax25Frame f;
  f.destination = RandomStation(random);
  f.source = RandomStation(random);
  if (random.Chance(30)) f.digipeaters = {{PickFrom(random, kAliases), 0, true}};
  f.command = random.Chance(60);
  f.pid.reset();
  const int nr = static_cast<int>(random.Below(8));
  const bool pf = random.Chance(20);
  const std::uint32_t kind = random.Below(20);
  if (kind < 13) {  // I frame, now and then with another layer 3
    f.control = IControl(nr, static_cast<int>(random.Below(8)), pf);
    const std::uint32_t payload = random.Below(10);
    if (payload < 5) {
      f.pid = kPidNoLayer3;
      AppendText(f.info, PickFrom(random, kSessionLines));
    } else if (payload < 9) {
      // Mail in transfer: I frames filled up to the packet length.
      f.pid = kPidNoLayer3;
      static constexpr std::array<std::size_t, 4> kPacketLengths{128, 128, 256, 256};
      const std::size_t length = PickFrom(random, kPacketLengths);
      const std::size_t from = random.Below(static_cast<std::uint32_t>(kMailText.size() - length));
      AppendText(f.info, kMailText.substr(from, length));
    } else {
      f.pid = random.Chance(50) ? std::uint8_t{0xCC} : std::uint8_t{0xCF};
      f.info = RandomBytes(random, 20 + random.Below(180));
    }
  } else if (kind < 17) {
    f.control = SControl(PickFrom(random, kSKinds), nr, pf);
  } else {
    switch (random.Below(8)) {
      case 0: f.control = kControlSabm | kPollFinal; break;
      case 1: f.control = kControlUa | kPollFinal; break;
      case 2: f.control = kControlDisc | kPollFinal; break;
      case 3: f.control = kControlDm | (pf ? kPollFinal : 0); break;
      case 4:
        f.control = kControlFrmr;
        f.info = {kControlSabme, static_cast<std::uint8_t>(nr << 5), 0x01};
        break;
      case 5:
        f.control = kControlXid | kPollFinal;
        f.info = {0x82, 0x80, 0x00, 0x08, 0x02, 0x02, 0x00, 0x20,
                  0x06, 0x02, 0x04, 0x00, 0x08, 0x01, 0x07};
        break;
      case 6:
        f.control = kControlTest | kPollFinal;
        AppendText(f.info, "link test");
        break;
      default: f.control = kControlSabme | kPollFinal; break;
    }
  }
  return f;
}

// "yyyy-MM-dd HH:nn:ss.mmm" for a moment within one day; the day is fixed.
std::string Timestamp(std::uint64_t millisecondOfDay) {
  const auto s = static_cast<unsigned>(millisecondOfDay / 1000 % 86400);
  char text[32];
  const int n = std::snprintf(text, sizeof text, "2026-03-14 %02u:%02u:%02u.%03u", s / 3600,
                              s / 60 % 60, s % 60, static_cast<unsigned>(millisecondOfDay % 1000));
  return std::string(text, static_cast<std::size_t>(n));
}

// Builds a stream in which some frames are preceded by their time frame.
class StreamWriter {
 public:
  explicit StreamWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Frame(const Ax25Frame& f, std::uint8_t command = kCommandData) {
    scratch_.clear();
    AppendKissFrame(scratch_, command, EncodeAx25(f));
    Raw(scratch_);
  }
  void TimedFrame(const Ax25Frame& f) {
    scratch_.clear();
    AppendKissFrame(scratch_, kCommandData, EncodeAx25(f));
    AppendTimeFrame(out_, scratch_, Timestamp(clock_));
    Raw(scratch_);
  }
  void Raw(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
  void Tick(SampleRandom& random) { clock_ += 40 + random.Below(1500); }

 private:
  std::vector<std::uint8_t>& out_;
  std::vector<std::uint8_t> scratch_;
  std::uint64_t clock_ = (7 * 3600 + 12 * 60) * 1000ULL + 345;
};

// What may come between two frames of a stream.
void AppendBetweenFrames(StreamWriter& writer, SampleRandom& random) {
  const std::uint32_t roll = random.Below(200);
  if (roll == 0) {
    writer.Raw(std::array<std::uint8_t, 2>{kFend, kFend});
  } else if (roll == 1) {
    // A lone byte between two frames, line noise: dropped by the receiver.
    writer.Raw(std::array<std::uint8_t, 1>{static_cast<std::uint8_t>(1 + random.Below(0xBF))});
  }
}

void AppendRandomFrameTo(StreamWriter& writer, SampleRandom& random) {
  const std::uint32_t roll = random.Below(100);
  if (roll < 62) {
    writer.Frame(RandomUi(random));
  } else if (roll < 90) {
    writer.Frame(RandomConnected(random));
  } else if (roll < 93) {
    Ax25Frame f = RandomUi(random);
    writer.TimedFrame(f);
  } else if (roll < 95) {
    Ax25Frame f = RandomUi(random);
    std::vector<std::uint8_t> scratch;
    AppendSmackFrame(scratch, EncodeAx25(f));
    writer.Raw(scratch);
  } else {
    // Binary data: compressed mail or a file transfer, full of bytes to escape.
    Ax25Frame f = RandomConnected(random);
    const int nr = static_cast<int>(random.Below(8));
    f.control = IControl(nr, static_cast<int>(random.Below(8)), false);
    f.pid = kPidNoLayer3;
    f.info = RandomBytes(random, 40 + random.Below(160));
    writer.Frame(f);
  }
  writer.Tick(random);
}

}  // namespace

std::uint64_t SampleRandom::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::vector<std::uint8_t> EncodeAx25(const Ax25Frame& frame) {
  std::vector<std::uint8_t> out;
  const bool noPath = frame.digipeaters.empty();
  AppendAddress(out, frame.destination, frame.command, false);
  AppendAddress(out, frame.source, !frame.command, noPath);
  for (std::size_t i = 0; i < frame.digipeaters.size(); ++i) {
    const Address& d = frame.digipeaters[i];
    AppendAddress(out, d, d.repeated, i + 1 == frame.digipeaters.size());
  }
  out.push_back(frame.control);
  if (frame.pid) out.push_back(*frame.pid);
  out.insert(out.end(), frame.info.begin(), frame.info.end());
  return out;
}

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
  for (std::uint8_t b : bytes) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1U) != 0 ? static_cast<std::uint16_t>(crc >> 1 ^ kCrc16Reflected)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
  }
  return crc;
}

void AppendSmackFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> ax25) {
  const std::uint8_t command = kCommandSmack;
  const std::uint16_t crc = Crc16(ax25, Crc16(std::span(&command, 1)));
  std::vector<std::uint8_t> data(ax25.begin(), ax25.end());
  data.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  data.push_back(static_cast<std::uint8_t>(crc >> 8));
  AppendKissFrame(out, command, data);
}

void AppendTimeFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> kissFrame,
                     std::string_view timestamp) {
  out.push_back(kFend);
  out.push_back(kCommandTime);
  if (kissFrame.size() > 2) out.push_back(kissFrame[2]);
  for (std::size_t o = 3; o + 2 <= kissFrame.size() && kissFrame[o] != kPidNoLayer3; ++o) {
    out.push_back(kissFrame[o]);
  }
  out.push_back(kPidNoLayer3);
  AppendText(out, "asy: ");
  AppendText(out, timestamp);
  AppendText(out, " UTC");
  out.push_back(kFend);
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

void AppendRandomFrame(std::vector<std::uint8_t>& out, SampleRandom& random) {
  StreamWriter writer(out);
  AppendRandomFrameTo(writer, random);
}

std::vector<std::uint8_t> GenerateStream(std::size_t frameCount, std::uint64_t seed) {
  std::vector<std::uint8_t> out;
  out.reserve(frameCount * 110);
  SampleRandom random(seed);
  StreamWriter writer(out);
  for (std::size_t i = 0; i < frameCount; ++i) {
    AppendRandomFrameTo(writer, random);
    AppendBetweenFrames(writer, random);
  }
  return out;
}

std::vector<std::uint8_t> SampleCapture() {
  constexpr std::uint64_t kSeed = 20260314;
  constexpr std::size_t kTrafficFrames = 300;
  std::vector<std::uint8_t> out;
  SampleRandom random(kSeed);
  StreamWriter w(out);

  // The TNC's command prompt, still in text mode when the capture began:
  // bytes before the first FEND, each dropped on its own.
  w.Raw(Bytes("\r\ncmd:"));

  const Address aprs{"APZ001", 0, false};
  const Address wide11{"WIDE1", 1, false};
  const Address wide22{"WIDE2", 2, false};

  // APRS positions, status and messages over growing paths.
  w.Frame({aprs, {"N0CALL", 0}, {}, true, kControlUi, kPidNoLayer3,
           Bytes("!4903.50N/07201.75W-test station")});
  w.Frame({aprs, {"N0CALL", 7}, {wide11}, true, kControlUi, kPidNoLayer3,
           Bytes("!4903.50N/07201.75W>088/036 mobile")});
  w.Frame({aprs, {"TEST", 9}, {{"RELAY", 1, true}, wide22}, true, kControlUi, kPidNoLayer3,
           Bytes(">on the air")});
  w.Frame({aprs, {"DEMO", 2}, {{"RELAY", 0, true}, {"WIDE1", 0, true}, wide22}, true, kControlUi,
           kPidNoLayer3, Bytes(":N0CALL-1 :hello{1")});
  w.Frame({aprs, {"N0CALL", 1}, {wide22}, true, kControlUi, kPidNoLayer3,
           Bytes(":DEMO-2   :ack1")});
  w.Frame({{"APZVLK", 0}, {"SAMPLE", 15},
           {{"HOP", 1, true}, {"HOP", 2, true}, {"HOP", 3, true}, {"HOP", 4, true},
            {"HOP", 5}, {"HOP", 6}, {"HOP", 7}, {"HOP", 8}},
           true, kControlUi, kPidNoLayer3, Bytes("eight digipeaters, four used")});
  // Every SSID from 0 to 15, on source, destination and path.
  for (int ssid = 0; ssid < 16; ++ssid) {
    Ax25Frame f;
    f.destination = {"BEACON", (ssid * 5) % 16, false};
    f.source = {kStations[static_cast<std::size_t>(ssid) % kStations.size()], ssid, false};
    if (ssid % 3 != 0) f.digipeaters = {{"DIGI", 15 - ssid, ssid % 2 == 0}};
    f.info = Bytes(ssid % 2 == 0 ? AprsPayload(random) : std::string(kBeaconTexts[ssid % 6]));
    w.Frame(f);
  }
  // Plain text to the usual text destinations.
  w.Frame({{"ID", 0}, {"NODE", 0}, {}, true, kControlUi, kPidNoLayer3, Bytes("NODE/N0CALL test node")});
  w.Frame({{"CQ", 0}, {"ALPHA", 3}, {wide11}, true, kControlUi, kPidNoLayer3,
           Bytes("Hello from the sample generator\r")});

  // A connected session: set-up, data both ways, supervision, tear-down.
  const Address a{"ALPHA", 1};
  const Address b{"DEMO", 0};
  const auto session = [&](bool fromA, bool command, std::uint8_t control,
                           std::optional<std::uint8_t> pid, std::string_view info) {
    w.Frame({fromA ? b : a, fromA ? a : b, {}, command, control, pid, Bytes(info)});
  };
  session(true, true, kControlSabm | kPollFinal, std::nullopt, "");
  session(false, false, kControlUa | kPollFinal, std::nullopt, "");
  session(false, true, IControl(0, 0, false), kPidNoLayer3, kSessionLines[0]);
  session(false, true, IControl(0, 1, false), kPidNoLayer3, kSessionLines[1]);
  session(true, false, SControl(kControlRr, 2, false), std::nullopt, "");
  session(true, true, IControl(2, 0, true), kPidNoLayer3, kSessionLines[2]);
  session(false, false, SControl(kControlRnr, 1, true), std::nullopt, "");
  session(false, true, SControl(kControlRr, 1, true), std::nullopt, "");
  session(false, true, IControl(1, 2, false), kPidNoLayer3, kSessionLines[3]);
  session(true, false, SControl(kControlRej, 2, false), std::nullopt, "");
  session(true, false, SControl(kControlSrej, 3, true), std::nullopt, "");
  session(true, true, IControl(4, 1, false), kPidNoLayer3, kSessionLines[4]);
  session(false, true, IControl(2, 3, false), kPidNoLayer3, kSessionLines[5]);
  // N(R) 6, N(S) 0: the control byte itself is a FEND and goes escaped.
  session(false, true, IControl(6, 0, false), kPidNoLayer3, "control byte C0\r");
  session(true, true, kControlDisc | kPollFinal, std::nullopt, "");
  session(false, false, kControlUa | kPollFinal, std::nullopt, "");
  session(true, true, kControlSabme | kPollFinal, std::nullopt, "");
  session(false, false, kControlDm | kPollFinal, std::nullopt, "");
  session(false, false, kControlFrmr,
          std::nullopt, std::string_view("\x6F\x40\x01", 3));
  session(true, true, kControlXid | kPollFinal, std::nullopt,
          std::string_view("\x82\x80\x00\x08\x02\x02\x00\x20\x06\x02\x04\x00\x08\x01\x07", 15));
  session(true, true, kControlTest | kPollFinal, std::nullopt, "link test");
  session(false, false, kControlTest | kPollFinal, std::nullopt, "link test");

  // Payloads that need escaping: every byte value once, FEND and FESC in text.
  {
    Ax25Frame f{b, a, {}, true, IControl(0, 5, false), kPidNoLayer3, {}};
    for (int v = 0; v < 256; ++v) f.info.push_back(static_cast<std::uint8_t>(v));
    w.Frame(f);
  }
  w.Frame({aprs, {"ECHO", 4}, {wide11}, true, kControlUi, kPidNoLayer3,
           {'>', 'F', 'E', 'N', 'D', ' ', kFend, ' ', 'F', 'E', 'S', 'C', ' ', kFesc, ' ',
            'b', 'o', 't', 'h', ' ', kFesc, kFend, ' ', kTfend, kTfesc}});

  // A SMACK frame with its CRC, and a frame for the TNC's second port.
  AppendSmackFrame(out, EncodeAx25({aprs, {"KILO", 5}, {wide11}, true, kControlUi, kPidNoLayer3,
                                    Bytes("!4903.50N/07201.75W# SMACK digi")}));
  w.Frame({aprs, {"LIMA", 0}, {}, true, kControlUi, kPidNoLayer3, Bytes(">on port 1")}, 0x10);

  // Recorded with time frames on: each frame after its time frame.
  w.TimedFrame({aprs, {"OSCAR", 12}, {{"RELAY", 0, true}}, true, kControlUi, kPidNoLayer3,
                Bytes("!4903.50N/07201.75W_220/004g005t077r000p000P000h50b09900")});
  w.Tick(random);
  w.TimedFrame({b, a, {}, false, SControl(kControlRr, 5, true), std::nullopt, {}});
  w.Tick(random);

  // Between frames: an empty frame, lone stray bytes, a frame too short
  // for its header.
  w.Raw(std::array<std::uint8_t, 2>{kFend, kFend});
  w.Frame({aprs, {"TANGO", 11}, {}, true, kControlUi, kPidNoLayer3, Bytes(">after an empty frame")});
  w.Raw(std::array<std::uint8_t, 1>{0x7E});
  w.Frame({aprs, {"HOTEL", 8}, {wide22}, true, kControlUi, kPidNoLayer3, Bytes(">after a stray byte")});
  w.Raw(std::array<std::uint8_t, 1>{0x0D});
  w.Raw(std::array<std::uint8_t, 4>{kFend, kCommandData, 'A', kFend});

  // Then ordinary traffic.
  for (std::size_t i = 0; i < kTrafficFrames; ++i) {
    AppendRandomFrameTo(w, random);
    AppendBetweenFrames(w, random);
  }
  return out;
}

}  // namespace vorlink::sample
