#include "store/aprs_message_list.h"

#include <algorithm>

#include "aprs/aprs_decoder.h"
#include "base/text.h"

namespace vorlink {
namespace {

std::string MessageKey(std::string_view from, std::string_view to, std::string_view number) {
  std::string key;
  key.reserve(from.size() + to.size() + number.size() + 2);
  for (char c : from) key += UpperCase(c);
  key += '>';
  for (char c : to) key += UpperCase(c);
  key += '#';
  key += number;  // message numbers are case-sensitive
  return key;
}

}  // namespace

std::string_view AprsMessageStateText(AprsMessageState state) {
  switch (state) {
    case AprsMessageState::Acked: return "acked";
    case AprsMessageState::Rejected: return "rejected";
    case AprsMessageState::Open: break;
  }
  return {};
}

bool AddressedTo(const AprsMessageEntry& entry, std::string_view callsign) {
  return !callsign.empty() && SameLetters(entry.to, callsign);
}

void AprsMessageList::Add(const StoredFrame& frame) {
  const Ax25Decoder& d = inspector_.Inspect(frame);
  if (!inspector_.HeaderComplete()) return;
  const AprsReport report = DecodeAprsFrame(d);
  std::string_view from = d.SourceText;
  const AprsMessage* m = report.As<AprsMessage>();
  AprsReport inner;
  if (const auto* third = report.As<AprsThirdParty>()) {
    inner = DecodeInner(*third);
    from = third->source;
    m = inner.As<AprsMessage>();
  }
  if (m == nullptr) return;
  switch (m->kind) {
    case AprsMessage::Kind::Ack:
      Answer(from, m->addressee, m->number, AprsMessageState::Acked);
      break;
    case AprsMessage::Kind::Rej:
      Answer(from, m->addressee, m->number, AprsMessageState::Rejected);
      break;
    default:
      if (m->replyAckCapable && !m->replyAck.empty()) {
        Answer(from, m->addressee, m->replyAck, AprsMessageState::Acked);
      }
      AddMessage(from, *m, frame.arrival);
  }
}

void AprsMessageList::AddMessage(std::string_view from, const AprsMessage& m, std::int64_t time) {
  AprsMessageEntry entry;
  entry.time = time;
  entry.kind = m.kind;
  entry.from = DisplayText(from);
  entry.to = DisplayText(m.addressee);
  entry.number = DisplayText(m.number);
  std::string key;
  if (!entry.number.empty()) {
    key = MessageKey(entry.from, entry.to, entry.number);
    if (AprsMessageEntry* heard = Find(key)) {
      ++heard->copies;
      return;
    }
  }
  if (entries_.size() >= kMaxAprsMessages) DropOldest();
  AppendDisplayText(entry.text, m.text);
  entries_.push_back(std::move(entry));
  if (!key.empty()) numbered_.insert_or_assign(std::move(key), first_ + entries_.size() - 1);
}

AprsMessageEntry* AprsMessageList::Find(const std::string& key) {
  const auto it = numbered_.find(key);
  if (it == numbered_.end()) return nullptr;
  if (it->second < first_) {  // dropped meanwhile
    numbered_.erase(it);
    return nullptr;
  }
  Changed(it->second);
  return &entries_[static_cast<std::size_t>(it->second - first_)];
}

// An answer from B to A answers A's message to B.
void AprsMessageList::Answer(std::string_view from, std::string_view to, std::string_view number,
                             AprsMessageState state) {
  AprsMessageEntry* entry = Find(MessageKey(DisplayText(to), DisplayText(from), DisplayText(number)));
  // A reject after an ack, or an ack sent again, changes nothing.
  if (entry != nullptr && entry->state == AprsMessageState::Open) entry->state = state;
}

void AprsMessageList::Changed(std::uint64_t number) {
  changed_.push_back(number);
  // Nobody took them: keep each number once.
  if (changed_.size() > 2 * kMaxAprsMessages) changed_ = TakeChanged();
}

void AprsMessageList::DropOldest() {
  const AprsMessageEntry& oldest = entries_.front();
  if (!oldest.number.empty()) {
    const auto it = numbered_.find(MessageKey(oldest.from, oldest.to, oldest.number));
    if (it != numbered_.end() && it->second == first_) numbered_.erase(it);
  }
  entries_.pop_front();
  ++first_;
}

bool AprsMessageList::CatchUp(const FrameStore& store, std::size_t most) {
  next_ = VisitFramesFrom(store, next_, most, [this](const StoredFrame& f) { Add(f); });
  return next_ < store.EndIndex();
}

void AprsMessageList::Clear() {
  first_ += entries_.size();
  entries_.clear();
  numbered_.clear();
  changed_.clear();
  next_ = 0;
}

std::vector<std::uint64_t> AprsMessageList::TakeChanged() {
  std::vector<std::uint64_t> numbers;
  numbers.swap(changed_);
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace vorlink
