#include "decode_tool.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "aprs_json.h"
#include "geojson.h"
#include "app/statistics_text.h"
#include "aprs/aprs_decoder.h"
#include "base/number_text.h"
#include "base/package.h"
#include "store/capture_loader.h"
#include "store/frame_filter.h"
#include "store/frame_inspector.h"
#include "store/frame_renderer.h"
#include "store/frame_store.h"
#include "store/heard_list.h"
#include "store/map_feed.h"
#include "chunk_clock.h"
#include "decode_session.h"
#include "pcap_export.h"
#include "stream_pane.h"
#include "text_output.h"

namespace vorlink {
namespace {

constexpr std::string_view kUsage =
    "Usage: vorlink-decode [OPTION]... [FILE]\n"
    "Print every KISS frame of FILE (a .kss capture), or of standard input when\n"
    "FILE is missing or -, as the VORLINK frame pane shows it.\n"
    "\n"
    "  --raw           dump each frame whole, as received (\"Decode KISS Frame\" off)\n"
    "  --timestamps    put the UTC time stamp before each header (\"TimeStamp (UTC)\")\n"
    "  --color=WHEN    colour the output: auto (on a terminal), always or never\n"
    "  -h, --help      show this text and exit\n"
    "  --version       show the program's name and version and exit\n"
    "\n"
    "Frames that match all of these, and only those (time frames then give the\n"
    "next frame its time and are not shown):\n"
    "  --from GLOB     source callsign, * and ? as wildcards, SSID as shown (N0CALL-*)\n"
    "  --to GLOB       destination callsign\n"
    "  --via GLOB      any digipeater\n"
    "  --type TYPE     frame type: I, S, U (UI included) or UI\n"
    "  --pid HH        PID in hexadecimal\n"
    "  --grep TEXT     text in the payload, upper and lower case alike\n"
    "  --aprs-type TYPE  APRS report kind: position, mic-e, object, item, weather,\n"
    "                  message, ack, rej, bulletin, announcement, telemetry,\n"
    "                  telemetry-message, status, third-party, nmea, query,\n"
    "                  capabilities, user-defined, test-data, maidenhead,\n"
    "                  not-aprs or invalid\n"
    "  --within KM     an APRS position within KM kilometres of --near LAT,LON\n"
    "  --near LAT,LON  the point for --within in decimal degrees, north and east\n"
    "                  positive; alone, the station --heard measures from\n"
    "  --addressee GLOB  APRS messages, acks, rejects and bulletins to GLOB\n"
    "  --heard         list the stations heard instead of the frames: callsign,\n"
    "                  frames, first and last heard (UTC), direct, via\n"
    "  --json          with --heard: one JSON object a station, with what its APRS\n"
    "                  reports said last (symbol, position, distance and bearing\n"
    "                  from --near, course, speed, altitude, comment, weather)\n"
    "  --aprs          print what each frame says in APRS instead, one JSON object\n"
    "                  a line\n"
    "  --geojson       print the stations' last positions and the tracks of those\n"
    "                  that moved instead, as a GeoJSON FeatureCollection\n"
    "\n"
    "Instead of the frames (these two go together, but not with the above):\n"
    "  --pcap OUT      write the frames to OUT as a pcap file for packet analysers\n"
    "                  (link type 202), timed by the capture's time frames\n"
    "  --stats         print the statistics and link health figures of the stream\n";

// Large reads: each chunk costs a system call and a clock reading.
constexpr std::size_t kChunkSize = 64 * 1024;

enum class Colour { Auto, Always, Never };

constexpr std::string_view kHeardHeader = "callsign frames first-heard last-heard direct via\n";

struct Arguments {
  DisplayOptions options;
  Colour colour = Colour::Auto;
  std::string file;
  bool help = false;
  FrameFilterSpec filter;
  std::optional<GeoPoint> from;  // what --heard measures from
  bool heard = false;
  bool json = false;
  bool aprs = false;
  bool geojson = false;
  bool version = false;
  std::string pcapFile;
  bool stats = false;
  std::string error;
};

// An option with a value, "--from GLOB" or "--from=GLOB"; the value goes to
// value and the arguments consumed to i.
bool TakeValue(std::span<const std::string_view> args, std::size_t& i, std::string_view name,
               std::string& value, std::string& error) {
  const std::string_view arg = args[i];
  if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') {
    value = arg.substr(name.size() + 1);
    return true;
  }
  if (arg != name) return false;
  if (i + 1 >= args.size()) {
    error = "option " + std::string(name) + " needs a value";
    return true;
  }
  value = args[++i];
  return true;
}

// The options that pick frames; false when arg is none of them.
bool ParseFilterOption(std::span<const std::string_view> args, std::size_t& i, Arguments& a) {
  std::string value;
  if (TakeValue(args, i, "--from", a.filter.from, a.error) ||
      TakeValue(args, i, "--to", a.filter.to, a.error) ||
      TakeValue(args, i, "--via", a.filter.via, a.error) ||
      TakeValue(args, i, "--grep", a.filter.text, a.error)) {
    return true;
  }
  if (TakeValue(args, i, "--type", value, a.error)) {
    a.filter.type = ParseFrameType(value);
    if (!a.filter.type && a.error.empty()) a.error = "--type takes I, S, U or UI, not " + value;
    return true;
  }
  if (TakeValue(args, i, "--aprs-type", value, a.error)) {
    a.filter.aprsType = ParseAprsType(value);
    if (!a.filter.aprsType && a.error.empty()) a.error = "--aprs-type does not know " + value;
    return true;
  }
  if (TakeValue(args, i, "--within", value, a.error)) {
    a.filter.withinKm = Decimal(value);
    if ((!a.filter.withinKm || *a.filter.withinKm < 0) && a.error.empty()) {
      a.error = "--within takes kilometres, not " + value;
    }
    return true;
  }
  if (TakeValue(args, i, "--near", value, a.error)) {
    a.filter.near = ParseGeoPoint(value);
    if (!a.filter.near && a.error.empty()) a.error = "--near takes LAT,LON in degrees, not " + value;
    return true;
  }
  if (TakeValue(args, i, "--addressee", a.filter.addressee, a.error)) return true;
  if (TakeValue(args, i, "--pid", value, a.error)) {
    a.filter.pid = ParsePid(value);
    if (!a.filter.pid && a.error.empty()) a.error = "--pid takes one or two hex digits, not " + value;
    return true;
  }
  return false;
}

Arguments Parse(std::span<const std::string_view> args) {
  Arguments a;
  a.options.timeStamp = false;  // a capture is read after the fact
  a.options.timeFrames = false;
  // No capture files are written: the lines and readings for them would be lost work.
  a.options.hexFile = false;
  a.options.pcapFile = false;
  for (std::size_t i = 0; i < args.size() && a.error.empty(); ++i) {
    const std::string_view arg = args[i];
    if (ParseFilterOption(args, i, a)) continue;
    if (TakeValue(args, i, "--pcap", a.pcapFile, a.error)) {
      if (a.pcapFile.empty() && a.error.empty()) a.error = "--pcap needs a file name";
      continue;
    }
    if (arg == "--stats") {
      a.stats = true;
    } else if (arg == "--heard") {
      a.heard = true;
    } else if (arg == "--json") {
      a.json = true;
    } else if (arg == "--aprs") {
      a.aprs = true;
    } else if (arg == "--geojson") {
      a.geojson = true;
    } else if (arg == "-h" || arg == "--help") {
      a.help = true;
    } else if (arg == "--version") {
      a.version = true;
    } else if (arg == "--raw") {
      a.options.decode = false;
    } else if (arg == "--timestamps") {
      a.options.timeStamp = true;
    } else if (arg == "--color=auto" || arg == "--colour=auto") {
      a.colour = Colour::Auto;
    } else if (arg == "--color=always" || arg == "--colour=always" || arg == "--color") {
      a.colour = Colour::Always;
    } else if (arg == "--color=never" || arg == "--colour=never") {
      a.colour = Colour::Never;
    } else if (arg.size() > 1 && arg.front() == '-') {
      a.error = "unknown option " + std::string(arg);
    } else if (!a.file.empty()) {
      a.error = "only one FILE can be decoded at a time";
    } else {
      a.file = arg;
    }
  }
  if (a.error.empty() && (a.stats || !a.pcapFile.empty()) && (a.heard || !a.filter.Empty())) {
    a.error = "--pcap and --stats take every frame: no --heard or frame filter with them";
  }
  if (a.error.empty() && (a.stats || !a.pcapFile.empty()) && a.aprs) {
    a.error = "--pcap and --stats do not go with --aprs";
  }
  if (a.error.empty() && a.heard && a.aprs) a.error = "--heard and --aprs do not go together";
  if (a.error.empty() && a.geojson && (a.heard || a.aprs || a.stats || !a.pcapFile.empty())) {
    a.error = "--geojson goes with no other output";
  }
  if (a.error.empty() && a.json && !a.heard) a.error = "--json goes with --heard";
  // --near alone names the point --heard measures from.
  if (a.error.empty() && a.filter.withinKm.has_value() != a.filter.near.has_value() &&
      !(a.heard && a.filter.near)) {
    a.error = "--within and --near go together";
  }
  if (a.heard && !a.filter.withinKm) a.from = std::exchange(a.filter.near, std::nullopt);
  return a;
}

// Takes the pane's text and lets it go: --stats wants the figures only.
class DiscardPane final : public TextPane {
 public:
  void AppendColoredText(std::string_view, PaneRole) override {}
};

// The same figures as the statistics window, but for the time frames a
// capture holds: they were written, not received, so they have a line of
// their own instead of counting as frames.
void PrintStatistics(const DecodeSession& session, TextOutput& out, bool colour) {
  ReceiveCounters counters = session.Counters();
  counters.FrameCount -= static_cast<std::int64_t>(session.TimeFrames());
  StreamPane pane(out, colour);
  AppendStatistics(counters, pane);
  pane.AppendColoredText(std::to_string(session.TimeFrames()) + " time frames", PaneRole::Plain);
  pane.AppendColoredText("\n", PaneRole::Plain);
  AppendLinkHealth(counters.health, pane);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The frames of a capture as a viewer loads them, through the store in
// slices: each chunk's frames are printed or counted, then let go, so a
// file of any length takes the memory of one chunk.
class PickedFrames {
 public:
  PickedFrames(const Arguments& a, TextPane& pane, TextOutput& out)
      : a_(a), pane_(pane), out_(out), filter_(a.filter), loader_(store_, a.options) {}

  void Feed(std::span<const std::uint8_t> chunk) {
    loader_.Feed(chunk);
    for (FrameIndex i = store_.FirstIndex(); i < store_.EndIndex(); ++i) {
      const StoredFrame frame = store_.Frame(i);
      if (!filter_.Matches(frame)) continue;
      if (a_.heard) {
        heard_.Add(frame);
      } else if (a_.aprs) {
        PrintAprs(i, frame);
      } else if (a_.geojson) {
        feed_.Add(frame, stations_);
      } else {
        renderer_.Render(frame, pane_);
      }
    }
    store_.Clear();
  }

  // Frames are numbered from 1 in file order, time frames not counted.
  void PrintAprs(FrameIndex index, const StoredFrame& frame) {
    const Ax25Decoder& d = inspector_.Inspect(frame);
    json_.clear();
    AppendAprsJson(json_, index + 1, d, frame.arrival, DecodeAprsFrame(d));
    out_.Append(json_);
  }

  void PrintGeoJson(TextOutput& out) const {
    std::string json;
    AppendGeoJson(json, stations_);
    out.Append(json);
  }

  void PrintHeard(TextOutput& out) const {
    if (a_.json) {
      std::string line;
      for (const HeardStation& s : heard_.Sorted()) {
        line.clear();
        AppendHeardJson(line, s, a_.from ? a_.from : a_.filter.near);
        out.Append(line);
      }
      return;
    }
    out.Append(kHeardHeader);
    for (const HeardStation& s : heard_.Sorted()) {
      out.Append(s.callsign + ' ' + std::to_string(s.frames) + ' ' + HeardTimeText(s.firstHeard) +
                 ' ' + HeardTimeText(s.lastHeard) + ' ' + std::to_string(s.direct) + ' ' +
                 std::to_string(s.via) + '\n');
    }
  }

 private:
  const Arguments& a_;
  TextPane& pane_;
  TextOutput& out_;
  FrameStore store_;
  FrameFilter filter_;
  CaptureLoader loader_;
  FrameRenderer renderer_;
  HeardList heard_;
  FrameInspector inspector_;
  std::string json_;
  MapFeed feed_;
  TrackStore stations_;
};

// Everything printed is written out; 1 with the system's reason when it could not be.
int FinishOutput(TextOutput& output, std::FILE* err) {
  if (output.Flush()) return 0;
  std::fprintf(err, "vorlink-decode: cannot write standard output: %s\n", output.Error().c_str());
  return 1;
}

}  // namespace

int RunDecodeTool(std::span<const std::string_view> args, std::FILE* in, std::FILE* out,
                  std::FILE* err, bool outIsTerminal, Clock& clock) {
  const Arguments a = Parse(args);
  TextOutput output(out);
  if (a.help) {
    output.Append(kUsage);
    return FinishOutput(output, err);
  }
  if (a.version) {
    output.Append(VersionText("vorlink-decode") + "\n");
    return FinishOutput(output, err);
  }
  if (!a.error.empty()) {
    std::fprintf(err, "vorlink-decode: %s (try --help)\n", a.error.c_str());
    return 2;
  }
  std::unique_ptr<std::FILE, FileCloser> opened;
  if (!a.file.empty() && a.file != "-") {
    opened.reset(std::fopen(a.file.c_str(), "rb"));
    if (!opened) {
      std::fprintf(err, "vorlink-decode: cannot read %s: %s\n", a.file.c_str(),
                   std::strerror(errno));
      return 1;
    }
    in = opened.get();
  }

  const bool colour = a.colour == Colour::Always || (a.colour == Colour::Auto && outIsTerminal);
  ChunkClock chunkClock(clock);
  StreamPane pane(output, colour);
  DiscardPane discard;
  std::optional<DecodeSession> session;
  std::optional<PickedFrames> picked;
  std::optional<PcapExport> pcap;
  if (!a.pcapFile.empty()) {
    std::string error;
    if (!pcap.emplace().Open(a.pcapFile, error)) {
      std::fprintf(err, "vorlink-decode: cannot write %s: %s\n", a.pcapFile.c_str(), error.c_str());
      return 1;
    }
  }
  if (a.heard || a.aprs || a.geojson || !a.filter.Empty()) {
    picked.emplace(a, pane, output);
  } else if (a.stats) {
    session.emplace(discard, chunkClock, a.options).CountTimeFrames();
  } else if (!pcap) {
    session.emplace(pane, chunkClock, a.options);
  }
  std::vector<std::uint8_t> chunk(kChunkSize);
  while (!output.Failed()) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
    const auto bytes = std::span(chunk.data(), n);
    chunkClock.Refresh();
    if (n > 0 && session) session->Feed(bytes);
    if (n > 0 && picked) picked->Feed(bytes);
    if (n > 0 && pcap) pcap->Feed(bytes);
    if (n < chunk.size()) break;
  }
  if (picked && a.heard) picked->PrintHeard(output);
  if (picked && a.geojson) picked->PrintGeoJson(output);
  if (std::ferror(in)) {
    std::fprintf(err, "vorlink-decode: cannot read %s: %s\n",
                 a.file.empty() ? "standard input" : a.file.c_str(), std::strerror(errno));
    return 1;
  }
  if (a.stats) PrintStatistics(*session, output, colour);
  std::string error;
  if (pcap && !pcap->Close(error)) {
    std::fprintf(err, "vorlink-decode: cannot write %s: %s\n", a.pcapFile.c_str(), error.c_str());
    return 1;
  }
  if (pcap && pcap->ClampedTimes() > 0) {
    std::fprintf(err, "vorlink-decode: %s: %zu time frames outside %s, the times pcap can hold: "
                 "their frames got the nearest of those\n",
                 a.pcapFile.c_str(), pcap->ClampedTimes(), kRecordTimeRange.data());
  }
  return FinishOutput(output, err);
}

}  // namespace vorlink
