#include "aprs/message_center.h"

#include <algorithm>

#include "aprs/aprs_decoder.h"
#include "aprs/message_line.h"
#include "base/text.h"
#include "decode/ax25_decoder.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kHeardUiControl = 0x03;
constexpr std::uint8_t kHeardUiMask = 0xEF;  // all but the poll/final bit
constexpr std::string_view kIdAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string TwoDigits(int value) {
  std::string out;
  if (value < 10) out += '0';
  AppendDecimal(out, value);
  return out;
}

std::string ClockText(const DateTime& t) {
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

// "15 s" below a minute, whole minutes (rounded) above.
std::string WaitText(std::chrono::steady_clock::duration left) {
  const auto seconds =
      std::max<long long>(0, std::chrono::ceil<std::chrono::seconds>(left).count());
  if (seconds < 60) return std::to_string(seconds) + " s";
  return std::to_string((seconds + 30) / 60) + " min";
}

// A first number that differs from one start of the program to the next,
// so a station that still remembers our last lines takes new ones as new.
std::string SeedId(const DateTime& t) {
  const std::size_t base = kIdAlphabet.size();
  const std::size_t value = static_cast<std::size_t>(t.hour * 60 + t.minute) % (base * base - 1);
  return {kIdAlphabet[value / base], kIdAlphabet[value % base]};
}

// Now, unless the line went out less than the floor ago.
SteadyTime EarliestSend(const ThreadLine& line, SteadyTime now) {
  return line.lastSend ? std::max(now, *line.lastSend + kMinSendGap) : now;
}

}  // namespace

std::optional<HeardLine> HeardLineOf(const Ax25Decoder& frame) {
  if ((frame.ControlByte & kHeardUiMask) != kHeardUiControl || !frame.HasPid ||
      frame.PayloadLength() <= 0) {
    return std::nullopt;
  }
  HeardLine line;
  line.from = frame.SourceText;
  for (int k = frame.DigipeaterCount - 1; k >= 0; --k) {
    if (frame.DigipeaterRepeated[static_cast<std::size_t>(k)]) {
      line.via = frame.DigipeaterText[static_cast<std::size_t>(k)];
      if (line.via.ends_with('*')) line.via.remove_suffix(1);  // the shown repeated mark
      break;
    }
  }
  const auto payload = frame.Payload();
  line.info = {reinterpret_cast<const char*>(payload.data()), payload.size()};
  return line;
}

MessageCenter::MessageCenter(Clock& clock, AprsSend send)
    : clock_(clock), send_(std::move(send)), lastId_(SeedId(clock.LocalNow())) {}

void MessageCenter::SetOwnCallsign(std::string callsign) {
  ownCallsign_ = UpperCase(Trimmed(callsign));
}

bool MessageCenter::IsOwn(std::string_view callsign) const {
  return !ownCallsign_.empty() && SameCallsign(callsign, ownCallsign_);
}

void MessageCenter::Changed() {
  if (changed_) changed_();
}

std::size_t MessageCenter::OpenLines() const {
  std::size_t open = 0;
  for (const Conversation& c : conversations_) {
    open += static_cast<std::size_t>(std::count_if(c.lines.begin(), c.lines.end(),
                                                   [](const ThreadLine& l) { return l.Open(); }));
  }
  return open;
}

Conversation* MessageCenter::FindConversation(std::string_view station) {
  for (Conversation& c : conversations_) {
    if (SameCallsign(c.station, station)) return &c;
  }
  return nullptr;
}

const Conversation* MessageCenter::Find(std::string_view station) const {
  return const_cast<MessageCenter*>(this)->FindConversation(station);
}

Conversation& MessageCenter::ConversationWith(std::string_view station) {
  if (Conversation* found = FindConversation(station)) return *found;
  if (conversations_.size() >= kMaxConversations) DropQuietConversation();
  Conversation c;
  c.station = UpperCase(Trimmed(station));
  conversations_.push_back(std::move(c));
  return conversations_.back();
}

void MessageCenter::DropQuietConversation() {
  auto quietest = conversations_.end();
  for (auto it = conversations_.begin(); it != conversations_.end(); ++it) {
    const bool open = std::any_of(it->lines.begin(), it->lines.end(),
                                  [](const ThreadLine& l) { return l.Open(); });
    if (!open && (quietest == conversations_.end() || it->lastActivity < quietest->lastActivity)) {
      quietest = it;
    }
  }
  if (quietest != conversations_.end()) conversations_.erase(quietest);
}

void MessageCenter::TrimThread(Conversation& c) {
  while (c.lines.size() > kMaxThreadLines) {
    const auto finished =
        std::find_if(c.lines.begin(), c.lines.end(), [](const ThreadLine& l) { return !l.Open(); });
    if (finished == c.lines.end()) return;
    c.lines.erase(finished);
  }
}

ThreadLine* MessageCenter::FindLine(std::uint64_t key, Conversation** owner) {
  for (Conversation& c : conversations_) {
    for (ThreadLine& l : c.lines) {
      if (l.key != key) continue;
      if (owner) *owner = &c;
      return &l;
    }
  }
  return nullptr;
}

const ThreadLine* MessageCenter::Line(std::uint64_t key) const {
  return const_cast<MessageCenter*>(this)->FindLine(key);
}

LineSendOutcome MessageCenter::Send(std::string_view to, std::string_view text) {
  to = Trimmed(to);
  if (!send_) return {0, "sending is not set up"};
  if (auto problem = AddresseeProblem(to)) return {0, *problem};
  if (IsOwn(to)) return {0, "that is the own callsign"};
  if (auto problem = MessageTextProblem(text)) return {0, *problem};
  if (OpenLines() >= kMaxOpenLines) {
    return {0, "too many lines in flight (at most " + std::to_string(kMaxOpenLines) + ")"};
  }
  Conversation& c = ConversationWith(to);
  ThreadLine line;
  line.key = nextKey_++;
  line.ours = true;
  line.text = std::string(text);
  line.time = clock_.LocalNow();
  lastId_ = NextMessageId(lastId_);
  line.id = lastId_;
  line.state = LineState::Waiting;
  c.lines.push_back(std::move(line));
  c.lastActivity = clock_.MonotonicNow();
  const std::uint64_t key = c.lines.back().key;
  TrimThread(c);
  Poll();
  // Refused for good (not just for now): nothing is kept that might go out
  // later, when the operator no longer expects it.
  const ThreadLine* sent = FindLine(key);
  if (sent && sent->sends == 0 && sent->refused &&
      (*sent->refused == AprsSendResult::TransmitOff || *sent->refused == AprsSendResult::NoCallsign)) {
    const std::string why(AprsSendRefusalText(*sent->refused).substr(std::string_view("not sent: ").size()));
    std::erase_if(c.lines, [key](const ThreadLine& l) { return l.key == key; });
    Changed();
    return {0, why};
  }
  Changed();
  return {key, {}};
}

bool MessageCenter::RetryNow(std::uint64_t key) {
  Conversation* c = nullptr;
  ThreadLine* line = FindLine(key, &c);
  if (!line || !line->ours) return false;
  const SteadyTime now = clock_.MonotonicNow();
  const bool otherInFlight = std::any_of(
      c->lines.begin(), c->lines.end(),
      [&](const ThreadLine& l) { return l.key != key && l.state == LineState::Sending; });
  line->state = otherInFlight ? LineState::Waiting : LineState::Sending;
  line->sends = 0;
  line->nextSend = EarliestSend(*line, now);
  Poll();
  Changed();
  return true;
}

bool MessageCenter::Cancel(std::uint64_t key) {
  ThreadLine* line = FindLine(key);
  if (!line || !line->Open()) return false;
  line->state = LineState::Cancelled;
  Poll();
  Changed();
  return true;
}

LineSendOutcome MessageCenter::SendBulletin(std::string_view addressee, std::string_view text,
                                        std::chrono::seconds duration) {
  const std::string to = UpperCase(Trimmed(addressee));
  if (!send_) return {0, "sending is not set up"};
  if (!IsBulletinAddressee(to))
    return {0, "a bulletin goes to BLN0..BLN9, an announcement to BLNA..BLNZ"};
  if (auto problem = MessageTextProblem(text)) return {0, *problem};
  const auto running = std::count_if(bulletins_.begin(), bulletins_.end(),
                                     [](const Bulletin& b) { return b.running; });
  if (static_cast<std::size_t>(running) >= kMaxRunningBulletins) {
    return {0, "too many bulletins running (at most " + std::to_string(kMaxRunningBulletins) + ")"};
  }
  for (Bulletin& b : bulletins_) {
    if (b.running && b.addressee == to) b.running = false;  // a new one replaces it
  }
  while (bulletins_.size() >= kMaxKeptBulletins) {
    const auto stopped = std::find_if(bulletins_.begin(), bulletins_.end(),
                                      [](const Bulletin& b) { return !b.running; });
    bulletins_.erase(stopped);
  }
  const SteadyTime now = clock_.MonotonicNow();
  Bulletin b;
  b.key = nextKey_++;
  b.addressee = to;
  b.text = std::string(text);
  b.started = clock_.LocalNow();
  b.until = now + std::clamp(duration, kMinSendGap, kMaxBulletinTime);
  b.nextSend = now;
  bulletins_.push_back(std::move(b));
  const std::uint64_t key = bulletins_.back().key;
  Poll();
  Changed();
  return {key, {}};
}

bool MessageCenter::StopBulletin(std::uint64_t key) {
  for (Bulletin& b : bulletins_) {
    if (b.key != key || !b.running) continue;
    b.running = false;
    Changed();
    return true;
  }
  return false;
}

void MessageCenter::MarkRead(std::string_view station) {
  if (Conversation* c = FindConversation(station); c && c->unread) {
    c->unread = false;
    Changed();
  }
}

void MessageCenter::Heard(const HeardLine& line) {
  if (ownCallsign_.empty() || IsOwn(line.from)) return;
  const std::string_view info = WithoutLineEnd(line.info);
  if (!info.starts_with(':')) return;
  const AprsReport report = DecodeAprs(info, {});
  const AprsMessage* m = std::get_if<AprsMessage>(&report.body);
  if (!m || !IsOwn(m->addressee)) return;
  switch (report.type) {
    case AprsType::Ack: Answer(line.from, line.via, m->number, LineState::Acked); break;
    case AprsType::Rej: Answer(line.from, line.via, m->number, LineState::Rejected); break;
    case AprsType::Message:
      HeardMessage(line, m->addressee, m->text, m->number, m->replyAck, m->replyAckCapable);
      break;
    default: break;
  }
}

void MessageCenter::Answer(std::string_view from, std::string_view via, std::string_view number,
                           LineState state) {
  Conversation* c = FindConversation(from);
  if (!c || number.empty()) return;
  for (ThreadLine& l : c->lines) {
    if (!l.ours || l.state != LineState::Sending || !SameLetters(l.id, number)) continue;
    l.state = state;
    l.answered = clock_.LocalNow();
    l.answeredVia = std::string(via);
    c->lastActivity = clock_.MonotonicNow();
    Poll();  // the next line to that station may start
    Changed();
    return;
  }
}

void MessageCenter::HeardMessage(const HeardLine& line, std::string_view /*addressee*/,
                                 std::string_view text, std::string_view number,
                                 std::string_view replyAck, bool replyAckForm) {
  if (!replyAck.empty()) Answer(line.from, line.via, replyAck, LineState::Acked);
  std::string ackNumber(number);
  if (replyAckForm) ackNumber += "}" + std::string(replyAck);
  const SteadyTime now = clock_.MonotonicNow();
  const bool first = acks_.Heard(line.from, number, text, AckLine(line.from, ackNumber), now);
  Conversation& c = ConversationWith(line.from);
  if (replyAckForm && !number.empty()) c.replyAck = std::string(number);
  if (first) {
    ThreadLine heard;
    heard.key = nextKey_++;
    heard.text = std::string(text);
    heard.time = clock_.LocalNow();
    heard.id = std::string(number);
    c.lines.push_back(std::move(heard));
    c.lastActivity = now;
    c.unread = true;
    TrimThread(c);
  }
  acks_.SendWaiting(now, send_);
  if (first) {
    if (incoming_) incoming_(c.station, c.lines.back());
    Changed();
  }
}

void MessageCenter::Poll() {
  const SteadyTime now = clock_.MonotonicNow();
  for (Conversation& c : conversations_) PollConversation(c, now);
  for (Bulletin& b : bulletins_) PollBulletin(b, now);
  acks_.SendWaiting(now, send_);
}

void MessageCenter::PollConversation(Conversation& c, SteadyTime now) {
  ThreadLine* flying = nullptr;
  for (ThreadLine& l : c.lines) {
    if (l.ours && l.state == LineState::Sending) flying = &l;
  }
  if (flying && flying->sends >= kMaxSends && now >= flying->nextSend) {
    flying->state = LineState::NoAck;
    flying = nullptr;
    Changed();
  }
  if (!flying) {
    for (ThreadLine& l : c.lines) {
      if (!l.ours || l.state != LineState::Waiting) continue;
      l.state = LineState::Sending;
      l.sends = 0;
      l.nextSend = EarliestSend(l, now);
      flying = &l;
      break;
    }
  }
  if (!flying || flying->sends >= kMaxSends || now < flying->nextSend || !send_) return;
  const AprsSendResult result = send_(MessageLine(c.station, flying->text, flying->id, c.replyAck));
  if (result == AprsSendResult::Queued) {
    ++flying->sends;
    flying->lastSend = now;
    flying->nextSend = now + RetryGapAfter(flying->sends);
    flying->refused.reset();
  } else {
    flying->refused = result;
    flying->nextSend = now + kRefusedRetry;
  }
  Changed();
}

void MessageCenter::PollBulletin(Bulletin& b, SteadyTime now) {
  if (!b.running) return;
  if (now >= b.until) {
    b.running = false;
    Changed();
    return;
  }
  if (now < b.nextSend || !send_) return;
  const AprsSendResult result = send_(BulletinLine(b.addressee, b.text));
  if (result == AprsSendResult::Queued) {
    ++b.sends;
    b.nextSend = now + BulletinGapAfter(b.sends);
    b.refused.reset();
  } else {
    b.refused = result;
    b.nextSend = now + kRefusedRetry;
  }
  Changed();
}

std::optional<SteadyTime> MessageCenter::NextDue() const {
  std::optional<SteadyTime> due = acks_.NextDue(clock_.MonotonicNow());
  const auto consider = [&due](SteadyTime t) {
    if (!due || t < *due) due = t;
  };
  for (const Conversation& c : conversations_) {
    for (const ThreadLine& l : c.lines) {
      if (l.ours && l.state == LineState::Sending) consider(l.nextSend);
    }
  }
  for (const Bulletin& b : bulletins_) {
    if (b.running) consider(std::min(b.nextSend, b.until));
  }
  return due;
}

std::string MessageCenter::StateText(const ThreadLine& line) const {
  if (!line.ours) return {};
  switch (line.state) {
    case LineState::Waiting: return "waiting for the line before";
    case LineState::Sending: {
      if (line.refused) {
        if (*line.refused == AprsSendResult::TncFull || line.sends == 0) {
          return std::string(AprsSendRefusalText(*line.refused));
        }
      }
      const std::string count =
          "sending " + std::to_string(line.sends) + "/" + std::to_string(kMaxSends);
      const auto left = line.nextSend - clock_.MonotonicNow();
      if (line.sends >= kMaxSends) return count + ", giving up in " + WaitText(left);
      return count + ", next in " + WaitText(left);
    }
    case LineState::Acked:
      return "acked " + ClockText(line.answered) +
             (line.answeredVia.empty() ? " (heard direct)"
                                       : " (heard via " + line.answeredVia + ")");
    case LineState::Rejected: return "rejected";
    case LineState::NoAck: return "no ack";
    case LineState::Cancelled: return "cancelled";
  }
  return {};
}

std::string MessageCenter::BulletinStateText(const Bulletin& b) const {
  const std::string count = "sent " + std::to_string(b.sends) + "x";
  if (!b.running) return count + ", stopped";
  if (b.refused) return std::string(AprsSendRefusalText(*b.refused));
  return count + ", next in " + WaitText(b.nextSend - clock_.MonotonicNow()) + ", until " +
         WaitText(b.until - clock_.MonotonicNow()) + " from now";
}

}  // namespace vorlink
