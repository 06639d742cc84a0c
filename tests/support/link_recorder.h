// What a data link sent and told, recorded for tests: each frame as a short
// text ("I ns=0 nr=1 C", "UA R F"), each event as a line.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ax25link/link_frame.h"
#include "ax25link/link_output.h"

namespace vorlink::testing {

inline std::string FrameKindName(FrameKind kind) {
  static constexpr std::array<const char*, 14> kNames{
      "I", "RR", "RNR", "REJ", "SREJ", "SABM", "SABME", "DISC", "DM", "UA", "FRMR", "XID", "UI",
      "TEST"};
  return kNames[static_cast<std::size_t>(kind)];
}

// The frame as text; modulo128 says how to read I and S control fields.
inline std::string FrameText(std::span<const std::uint8_t> bytes, bool modulo128) {
  const auto addresses = ReadAddresses(bytes);
  if (!addresses) return "?addresses";
  const auto f = ReadControl(bytes, *addresses, modulo128);
  if (!f) return "?control";
  std::string text = FrameKindName(f->kind);
  const bool numbered = f->kind <= FrameKind::SREJ;
  if (f->kind == FrameKind::I) text += " ns=" + std::to_string(f->ns);
  if (numbered) text += " nr=" + std::to_string(f->nr);
  text += f->command ? " C" : " R";
  if (f->pollFinal) text += f->command ? " P" : " F";
  return text;
}

class LinkRecorder final : public FrameSink, public LinkEvents {
 public:
  bool modulo128 = false;
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::string> events;
  std::vector<std::uint8_t> data;

  std::vector<std::string> FrameTexts() const {
    std::vector<std::string> out;
    for (const auto& f : frames) out.push_back(FrameText(f, modulo128));
    return out;
  }
  void Clear() {
    frames.clear();
    events.clear();
  }

  void SendFrame(std::span<const std::uint8_t> frame, bool) override {
    frames.emplace_back(frame.begin(), frame.end());
  }
  void OnConnected(const LinkId&) override { events.push_back("connected"); }
  void OnDisconnected(const LinkId&, DisconnectReason reason) override {
    events.push_back("disconnected: " + std::string(DisconnectReasonText(reason)));
  }
  void OnData(const LinkId&, std::span<const std::uint8_t> bytes) override {
    data.insert(data.end(), bytes.begin(), bytes.end());
  }
  void OnStateChanged(const LinkId&, LinkState) override {}
};

}  // namespace vorlink::testing
