// APRS messages heard: every message, bulletin and announcement (a
// third-party report by the packet inside it), oldest first, with what
// answered it. An ack or reject answers the message from its addressee to
// its sender with the same number, and so does a reply-ack ({MM}AA) riding
// on a message back. A message sent again (same sender, addressee and
// number) stays one entry. At most kMaxAprsMessages are kept: the oldest go.
//
// Entries are numbered from 0 for the list's whole life, so a table over it
// can tell dropped rows from new ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "aprs/aprs_report.h"
#include "store/frame_inspector.h"
#include "store/frame_store.h"

namespace vorlink {

inline constexpr std::size_t kMaxAprsMessages = 10'000;

enum class AprsMessageState : std::uint8_t { Open, Acked, Rejected };

struct AprsMessageEntry {
  std::int64_t time = kNoArrivalTime;  // first heard, UTC milliseconds since 1970
  AprsMessage::Kind kind = AprsMessage::Kind::Message;
  std::string from;  // callsigns as shown
  std::string to;    // the addressee: a callsign, BLN1, BLNA...
  std::string text;  // UTF-8
  std::string number;
  AprsMessageState state = AprsMessageState::Open;
  std::uint32_t copies = 1;  // times heard
};

// "acked", "rejected" or "".
std::string_view AprsMessageStateText(AprsMessageState state);
// The addressee is the callsign, upper and lower case alike.
bool AddressedTo(const AprsMessageEntry& entry, std::string_view callsign);

class AprsMessageList {
 public:
  void Add(const StoredFrame& frame);
  // As HeardList::CatchUp: the frames the store took since the last call.
  bool CatchUp(const FrameStore& store,
               std::size_t most = std::numeric_limits<std::size_t>::max());
  void Clear();

  std::size_t Size() const { return entries_.size(); }
  // Oldest first.
  const AprsMessageEntry& At(std::size_t row) const { return entries_[row]; }
  // The number of At(0); one past the newest is FirstNumber() + Size().
  std::uint64_t FirstNumber() const { return first_; }
  FrameIndex NextFrame() const { return next_; }
  // Entries answered or heard again since the last call, by number.
  std::vector<std::uint64_t> TakeChanged();

 private:
  void AddMessage(std::string_view from, const AprsMessage& m, std::int64_t time);
  void Answer(std::string_view from, std::string_view to, std::string_view number,
              AprsMessageState state);
  // The entry a key names, marked changed; null when none is held.
  AprsMessageEntry* Find(const std::string& key);
  void Changed(std::uint64_t number);
  void DropOldest();

  FrameInspector inspector_;
  std::deque<AprsMessageEntry> entries_;
  std::uint64_t first_ = 0;
  // "FROM>TO#NN", upper case, to the entry's number.
  std::unordered_map<std::string, std::uint64_t> numbered_;
  std::vector<std::uint64_t> changed_;
  FrameIndex next_ = 0;
};

}  // namespace vorlink
