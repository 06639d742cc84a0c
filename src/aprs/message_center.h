// The operator's APRS conversations: the lines we send, with their retries
// and answers; the messages heard to the own callsign, shown once and
// acked; the bulletins we repeat. A pure state machine: fed the frames
// heard (Heard) and the passing of time (Poll, at NextDue or sooner), it
// hands information fields to the send callback and keeps what the window
// shows. It never sends twice because it was polled twice.
//
// A line is sent at once and then on the retry schedule, one line in flight
// per addressee (later ones wait their turn), until an ack, a rej or a
// reply-ack from the addressee, or no ack at the schedule's end. A refused
// send (TNC full, rate limit, transmit off) is not a send: the line says why
// and tries again shortly.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "aprs/ack_keeper.h"
#include "aprs/aprs_send.h"
#include "aprs/retry_schedule.h"
#include "base/clock.h"

namespace vorlink {

class Ax25Decoder;

// Lines waiting or in flight, over all stations: more is refused.
inline constexpr std::size_t kMaxOpenLines = 50;
// Stations with a conversation kept; past it the one quiet longest (with
// nothing open) is dropped.
inline constexpr std::size_t kMaxConversations = 200;
// Lines kept per conversation; the oldest finished ones go first.
inline constexpr std::size_t kMaxThreadLines = 300;
// Bulletins and announcements running at once, and kept in the list.
inline constexpr std::size_t kMaxRunningBulletins = 10;
inline constexpr std::size_t kMaxKeptBulletins = 30;

// One frame heard, as the center reads it. via names the last digipeater
// that repeated it (empty when heard direct).
struct HeardLine {
  std::string_view from;
  std::string_view via;
  std::string_view info;
};
// The UI frame's source, last repeating digipeater and information field;
// nothing for another kind of frame. Views into frame.
std::optional<HeardLine> HeardLineOf(const Ax25Decoder& frame);

enum class LineState : std::uint8_t { Waiting, Sending, Acked, Rejected, NoAck, Cancelled };

struct ThreadLine {
  std::uint64_t key = 0;  // unique for the center's life
  bool ours = false;      // sent by us, else heard
  std::string text;
  DateTime time;  // local: when written or first heard
  // Ours only:
  std::string id;
  LineState state = LineState::Waiting;
  int sends = 0;
  std::optional<SteadyTime> lastSend;
  SteadyTime nextSend{};
  std::optional<AprsSendResult> refused;  // the last attempt's, until one is taken
  DateTime answered;                      // local: when the ack or rej was heard
  std::string answeredVia;

  bool Open() const { return ours && (state == LineState::Waiting || state == LineState::Sending); }
};

struct Conversation {
  std::string station;           // as the operator or the frame wrote it, upper case
  std::deque<ThreadLine> lines;  // in order
  // The number of the station's latest line to us in the reply-ack form:
  // rides on our next send to it.
  std::string replyAck;
  SteadyTime lastActivity{};
  bool unread = false;
};

struct Bulletin {
  std::uint64_t key = 0;
  std::string addressee;  // BLN0..BLNZ
  std::string text;
  DateTime started;
  SteadyTime until{};
  SteadyTime nextSend{};
  int sends = 0;
  bool running = true;
  std::optional<AprsSendResult> refused;
};

// What Send and SendBulletin did: a key, or why not.
struct LineSendOutcome {
  std::uint64_t key = 0;
  std::string problem;  // empty when taken
  bool Taken() const { return problem.empty(); }
};

class MessageCenter {
 public:
  MessageCenter(Clock& clock, AprsSend send);

  // Where fields go; an empty one refuses every Send with a reason.
  void SetSend(AprsSend send) { send_ = std::move(send); }
  bool CanSend() const { return static_cast<bool>(send_); }
  // Messages to this callsign are ours to show and ack.
  void SetOwnCallsign(std::string callsign);
  const std::string& OwnCallsign() const { return ownCallsign_; }

  // Validates and queues a line to `to`, sending it at once when it may;
  // refused when the sender says transmit is off or there is no callsign.
  LineSendOutcome Send(std::string_view to, std::string_view text);
  // Sends the line again now (or as soon as the 15 s floor allows) and
  // starts its schedule afresh; a finished line is opened again.
  bool RetryNow(std::uint64_t key);
  bool Cancel(std::uint64_t key);

  LineSendOutcome SendBulletin(std::string_view addressee, std::string_view text,
                           std::chrono::seconds duration = kDefaultBulletinTime);
  bool StopBulletin(std::uint64_t key);

  void Heard(const HeardLine& line);
  // Sends whatever is due now.
  void Poll();
  // When Poll has something to do next; nothing when all is quiet.
  std::optional<SteadyTime> NextDue() const;

  // In the order their first line came.
  const std::deque<Conversation>& Conversations() const { return conversations_; }
  const Conversation* Find(std::string_view station) const;
  const ThreadLine* Line(std::uint64_t key) const;
  const std::deque<Bulletin>& Bulletins() const { return bulletins_; }
  std::size_t OpenLines() const;
  std::size_t AcksWaiting() const { return acks_.Waiting(); }
  void MarkRead(std::string_view station);

  // "sending 3/8, next in 1 min", "acked 14:02:11 (heard via N0DIG)"...
  std::string StateText(const ThreadLine& line) const;
  std::string BulletinStateText(const Bulletin& bulletin) const;

  // Called after anything shown changed.
  void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
  // Called with the station and line of each new message to us.
  void SetIncomingListener(std::function<void(const std::string&, const ThreadLine&)> listener) {
    incoming_ = std::move(listener);
  }

 private:
  Conversation& ConversationWith(std::string_view station);
  Conversation* FindConversation(std::string_view station);
  ThreadLine* FindLine(std::uint64_t key, Conversation** owner = nullptr);
  void DropQuietConversation();
  void TrimThread(Conversation& c);
  void HeardMessage(const HeardLine& line, std::string_view addressee, std::string_view text,
                    std::string_view number, std::string_view replyAck, bool replyAckForm);
  void Answer(std::string_view from, std::string_view via, std::string_view number,
              LineState state);
  void PollConversation(Conversation& c, SteadyTime now);
  void PollBulletin(Bulletin& b, SteadyTime now);
  bool IsOwn(std::string_view callsign) const;
  void Changed();

  Clock& clock_;
  AprsSend send_;
  std::string ownCallsign_;
  std::deque<Conversation> conversations_;
  std::deque<Bulletin> bulletins_;
  AckKeeper acks_;
  std::string lastId_ = "00";
  std::uint64_t nextKey_ = 1;
  std::function<void()> changed_;
  std::function<void(const std::string&, const ThreadLine&)> incoming_;
};

}  // namespace vorlink
