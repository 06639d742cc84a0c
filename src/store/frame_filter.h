// Which frames a view shows: source, destination and digipeater callsigns as
// globs ("*" any run, "?" one character, case-insensitive, SSID as shown:
// N0CALL-*), frame type, PID, and text in the payload (case-insensitive, in
// the pane's code page, control bytes as the "." the pane shows), all of
// them together. Empty criteria let every received frame through; frames
// VORLINK sent show only when the origin asks for them.
//
// APRS criteria look at what a UI frame's information field says: the
// report kind, a position within a distance of a point, the addressee of a
// message, ack, reject or bulletin (a glob); a third-party report is judged
// by the packet inside it for the last two.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aprs/aprs_report.h"
#include "geo/geo_point.h"
#include "store/frame_inspector.h"
#include "store/frame_store.h"

namespace vorlink {

// Received frames only (the store's own text, as the pane has it), sent
// frames only, or both.
enum class FrameOrigin { Received, SentAndReceived, Sent };

struct FrameFilterSpec {
  std::string from{};  // globs, empty: any
  std::string to{};
  std::string via{};   // any digipeater, its has-been-repeated mark aside
  // from and to match the other way round too: both directions of a link.
  bool bothWays = false;
  std::optional<FrameType> type{};
  std::optional<std::uint8_t> pid{};  // I and UI frames only carry one
  std::string text{};  // UTF-8 as typed
  std::optional<AprsType> aprsType{};
  std::optional<double> withinKm{};  // of near: both or neither
  std::optional<GeoPoint> near{};
  std::string addressee{};  // glob
  FrameOrigin origin = FrameOrigin::Received;

  bool Empty() const;
};

// "I", "S", "U", "UI" in any case.
std::optional<FrameType> ParseFrameType(std::string_view text);
// One or two hexadecimal digits.
std::optional<std::uint8_t> ParsePid(std::string_view text);
// Case-insensitive (ASCII), "*" any run, "?" one character.
bool GlobMatches(std::string_view glob, std::string_view text);

class FrameFilter {
 public:
  explicit FrameFilter(FrameFilterSpec spec);

  bool Matches(const StoredFrame& frame);

 private:
  bool MatchesDecoded() const;
  bool PayloadContains(std::span<const std::uint8_t> payload) const;
  bool MatchesAprs() const;

  FrameFilterSpec spec_;
  bool all_;
  bool textRepresentable_ = true;  // every character of the text is in the code page
  std::string needle_;             // the text in folded code-page bytes
  FrameInspector inspector_;
};

// Frames that passed a filter, in store order, with their own line index.
class FilteredFrames final : public FrameSequence {
 public:
  void Clear();
  void Add(FrameIndex index, int lines);
  // Forgets frames the store no longer holds (dropped chunks, cleared).
  void Prune(FrameIndex firstHeld);

  std::size_t Size() const { return frames_.size() - first_; }
  FrameIndex At(std::size_t k) const { return frames_[first_ + k]; }
  std::uint64_t LineCount() const override;
  LinePosition LocateLine(std::uint64_t line) const override;
  FrameIndex NextFrame(FrameIndex index) const override;

 private:
  std::vector<FrameIndex> frames_;
  std::vector<std::uint64_t> lineStarts_;  // running, one past the last too
  std::size_t first_ = 0;                  // entries before it are pruned
};

// Runs the filter over the held frames [begin, end) and adds those that
// match; a window runs it in slices to stay responsive. Returns the frame
// to go on from.
FrameIndex FilterFrames(const FrameStore& store, FrameFilter& filter, FrameIndex begin,
                        FrameIndex end, FilteredFrames& out);

}  // namespace vorlink
