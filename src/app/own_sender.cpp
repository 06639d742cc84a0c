#include "app/own_sender.h"

#include <algorithm>
#include <utility>

#include "base/utc.h"
#include "decode/ax25_encoder.h"
#include "decode/frame_text.h"
#include "store/frame_inspector.h"
#include "store/sent_frame.h"

namespace vorlink {
namespace {

constexpr std::uint8_t kUiControl = 0x03;
constexpr std::uint8_t kNoLayer3Pid = 0xF0;
constexpr std::string_view kSentPrefix = "Sent ";
constexpr std::string_view kTncStalledText = "own frames wait, TNC not taking data";

struct OutcomeText {
  SendOutcome outcome;
  std::string_view text;
};
constexpr OutcomeText kOutcomeTexts[] = {
    {SendOutcome::Sent, "sent"},
    {SendOutcome::WaitingForTurn, "waiting for its turn (one frame every 2 s)"},
    {SendOutcome::WaitingForTnc, "waiting for the TNC"},
    {SendOutcome::TransmitOff, "not sent: Transmit is off (Options > Station...)"},
    {SendOutcome::NoCallsign, "not sent: no valid callsign (Options > Station...)"},
    {SendOutcome::BadPath, "not sent: the path is not valid (Options > Station...)"},
    {SendOutcome::WaitFull, "not sent: 32 frames wait already"},
    {SendOutcome::TooLong, "not sent: too long for one frame"},
};

// "Sent N0CALL-7>APZVOR,WIDE1-1: !4903.50N/07201.75W-": the header as the
// pane shows it and a UI frame's information field in printable characters.
std::string SentLine(std::span<const std::uint8_t> kiss) {
  StoredFrame frame;
  frame.bytes = kiss;
  FrameInspector inspector;
  const Ax25Decoder& d = inspector.Inspect(frame);
  std::string line(kSentPrefix);
  AppendPrintable(line, d.SourceText);
  line += '>';
  AppendPrintable(line, d.DestinationText);
  for (int k = 0; k < d.DigipeaterCount; ++k) {
    line += ',';
    AppendPrintable(line, inspector.DigipeaterCall(k));
  }
  if (inspector.HeaderComplete() && inspector.IsType(FrameType::UI)) {
    const auto info = d.Payload();
    line += ": ";
    AppendPrintable(line, {reinterpret_cast<const char*>(info.data()), info.size()});
  } else {
    line += ' ';
    line += d.FrameTypeText;
  }
  return line;
}

}  // namespace

std::string_view SendOutcomeText(SendOutcome outcome) {
  for (const OutcomeText& t : kOutcomeTexts) {
    if (t.outcome == outcome) return t.text;
  }
  return {};
}

bool Accepted(SendOutcome outcome) {
  return outcome == SendOutcome::Sent || outcome == SendOutcome::WaitingForTurn ||
         outcome == SendOutcome::WaitingForTnc;
}

OwnSender::OwnSender(const OwnSenderContext& context)
    : c_(context), bucket_(kOwnFrameBurst, kOwnFrameInterval, context.clock.MonotonicNow()) {}

void OwnSender::SetStation(const OwnStation& station) {
  callsign_ = ParseStationCallsign(station.callsign);
  path_ = ParsePath(station.path);
  transmit_ = station.transmit;
  if (const auto refusal = Refusal()) DropWaiting(SendOutcomeText(*refusal));
}

std::optional<SendOutcome> OwnSender::Refusal() const {
  if (!transmit_) return SendOutcome::TransmitOff;
  if (!callsign_) return SendOutcome::NoCallsign;
  if (!path_) return SendOutcome::BadPath;
  return std::nullopt;
}

SendOutcome OwnSender::SendAprs(std::string_view info) {
  ++nextTicket_;
  if (const auto refusal = Refusal()) return *refusal;
  if (info.size() > kMaxInfoBytes) return SendOutcome::TooLong;
  Ax25FrameFields fields;
  fields.destination = *ParseCallsign(kOwnDestination);
  fields.source = *callsign_;
  fields.digipeaters = *path_;
  fields.control = kUiControl;
  fields.pid = kNoLayer3Pid;
  fields.info = {reinterpret_cast<const std::uint8_t*>(info.data()), info.size()};
  auto encoded = EncodeAx25Frame(fields);
  if (!encoded) return SendOutcome::BadPath;
  return Take(std::move(*encoded), true);
}

SendOutcome OwnSender::SendLinkFrame(std::span<const std::uint8_t> encodedAx25) {
  ++nextTicket_;
  if (const auto refusal = Refusal()) return *refusal;
  if (encodedAx25.size() > kMaxLinkFrameBytes) return SendOutcome::TooLong;
  return Take({encodedAx25.begin(), encodedAx25.end()}, false);
}

SendOutcome OwnSender::Take(std::vector<std::uint8_t> encoded, bool throughBucket) {
  if (waiting_.size() >= kOwnFramesWaitingMost) return SendOutcome::WaitFull;
  const SendTicket ticket = LastTicket();
  waiting_.push_back({ticket, throughBucket, WrapInKiss(encoded)});
  Poll();
  return StateOf(ticket).value_or(SendOutcome::Sent);
}

bool OwnSender::TryNow(const Pending& frame) {
  const TncWrite write = c_.tnc.Write(frame.kiss);
  if (write != TncWrite::Taken) {
    tncFull_ = true;
    if (!tncProblemShown_) c_.status.SetSimpleText(std::string(kTncStalledText));
    tncProblemShown_ = true;
    return false;
  }
  tncFull_ = false;
  tncProblemShown_ = false;
  if (frame.throughBucket) bucket_.TryTake(c_.clock.MonotonicNow());
  ++framesSent_;
  const DateTime now = UtcNow(c_.clock);
  AppendSentFrame(c_.store, frame.kiss, now, c_.options);
  c_.log.Add(now, SentLine(frame.kiss));
  return true;
}

void OwnSender::Poll() {
  if (Refusal()) return;
  bool bucketEmpty = false;
  for (auto it = waiting_.begin(); it != waiting_.end();) {
    if (it->throughBucket) {
      // Own frames keep their order: none overtakes one waiting for a token.
      if (bucketEmpty || bucket_.Available(c_.clock.MonotonicNow()) == 0) {
        bucketEmpty = true;
        ++it;
        continue;
      }
    }
    if (!TryNow(*it)) return;
    it = waiting_.erase(it);
  }
}

std::optional<SendOutcome> OwnSender::StateOf(SendTicket ticket) const {
  for (const Pending& p : waiting_) {
    if (p.ticket != ticket) continue;
    return !p.throughBucket || tncFull_ ? SendOutcome::WaitingForTnc : SendOutcome::WaitingForTurn;
  }
  return std::nullopt;
}

void OwnSender::DropWaiting(std::string_view why) {
  if (waiting_.empty()) return;
  std::string text = std::to_string(waiting_.size());
  text += " own frames dropped, ";
  text += why;
  waiting_.clear();
  tncFull_ = false;
  c_.log.Add(UtcNow(c_.clock), text);
}

}  // namespace vorlink
