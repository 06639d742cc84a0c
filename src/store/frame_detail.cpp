#include "store/frame_detail.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "aprs/aprs_decoder.h"
#include "decode/frame_text.h"
#include "link/kiss.h"
#include "store/frame_inspector.h"

namespace vorlink {
namespace {

constexpr int kCommandOffset = 1;  // after the opening FEND
constexpr int kPortShift = 4;      // a data frame's port is the command's high nibble

struct PidEntry {
  std::uint8_t pid;
  std::string_view name;
};

constexpr std::array<PidEntry, 12> kPidNames{{
    {0x01, "X.25 PLP"},
    {0x06, "compressed TCP/IP"},
    {0x07, "uncompressed TCP/IP"},
    {0x08, "segmentation fragment"},
    {0xC3, "TEXNET"},
    {0xC4, "Link Quality Protocol"},
    {0xCA, "Appletalk"},
    {0xCB, "Appletalk ARP"},
    {0xCC, "ARPA Internet Protocol"},
    {0xCD, "ARPA Address Resolution"},
    {0xCF, "NET/ROM"},
    {0xF0, "no layer 3"},
}};

std::string Hex(std::uint8_t b) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", b);
  return text;
}

class DetailBuilder {
 public:
  explicit DetailBuilder(std::vector<AprsDetailLine>& lines) : lines_(lines) {}
  void Group(std::string label, std::string value) { lines_.push_back({0, std::move(label), std::move(value)}); }
  void Line(std::string label, std::string value) { lines_.push_back({1, std::move(label), std::move(value)}); }

 private:
  std::vector<AprsDetailLine>& lines_;
};

void AddKiss(DetailBuilder& out, const StoredFrame& frame) {
  const std::uint8_t command =
      frame.bytes.size() > kCommandOffset ? frame.bytes[kCommandOffset] : 0;
  out.Group("KISS", std::string(ProtocolText(command)));
  out.Line("Command byte", Hex(command));
  if ((command & 0x0F) == kCommandData) out.Line("Port", std::to_string(command >> kPortShift));
  out.Line("Bytes received", std::to_string(frame.bytes.size()));
}

void AddHeader(DetailBuilder& out, const FrameInspector& inspector) {
  const Ax25Decoder& d = inspector.Decoded();
  if (!inspector.HeaderComplete()) {
    out.Group("AX.25", "frame too short for its header");
    return;
  }
  std::string type;
  AppendPrintable(type, d.FrameTypeText);
  out.Group("AX.25", type);
  const auto printable = [](std::string_view text) {
    std::string shown;
    AppendPrintable(shown, text);
    return shown;
  };
  out.Line("Destination", printable(d.DestinationText));
  out.Line("Source", printable(d.SourceText));
  for (int k = 0; k < d.DigipeaterCount; ++k) {
    std::string value = printable(inspector.DigipeaterCall(k));
    if (d.DigipeaterRepeated[static_cast<std::size_t>(k)]) value += " (repeated)";
    out.Line("Digipeater " + std::to_string(k + 1), value);
  }
  out.Line("Control", Hex(d.ControlByte));
  if (d.HasPid) {
    std::string pid = Hex(d.PidByte);
    if (const std::string_view name = PidName(d.PidByte); !name.empty()) {
      pid += " (" + std::string(name) + ")";
    }
    out.Line("PID", pid);
  }
  out.Line("Payload bytes", std::to_string(std::max(d.PayloadLength(), 0)));
}

}  // namespace

std::string_view PidName(std::uint8_t pid) {
  const auto* it = std::find_if(kPidNames.begin(), kPidNames.end(),
                                [pid](const PidEntry& e) { return e.pid == pid; });
  return it == kPidNames.end() ? std::string_view() : it->name;
}

std::vector<AprsDetailLine> FrameDetailLines(const StoredFrame& frame, std::optional<GeoPoint> from) {
  std::vector<AprsDetailLine> lines;
  DetailBuilder out(lines);
  AddKiss(out, frame);
  FrameInspector inspector;
  inspector.Inspect(frame);
  AddHeader(out, inspector);
  if (!inspector.HeaderComplete()) return lines;
  const AprsReport report = DecodeAprsFrame(inspector.Decoded());
  if (report.type == AprsType::NotAprs) return lines;
  out.Group("APRS", {});
  AppendAprsDetailLines(lines, report, from, 1);
  return lines;
}

std::string DetailText(const std::vector<AprsDetailLine>& lines) {
  std::string text;
  for (const AprsDetailLine& line : lines) {
    text.append(static_cast<std::size_t>(line.level) * 2, ' ');
    text += line.label;
    if (!line.value.empty()) {
      text += '\t';
      text += line.value;
    }
    text += '\n';
  }
  return text;
}

}  // namespace vorlink
