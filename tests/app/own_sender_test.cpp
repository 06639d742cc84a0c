#include "app/own_sender.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/kiss_server_figures.h"
#include "decode/ax25_decoder.h"
#include "decode/ax25_encoder.h"
#include "store/frame_filter.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"
#include "support/fake_status_line.h"

namespace vorlink {
namespace {

using testing::FakeClock;
using testing::FakeSerialPort;
using testing::FakeStatusLine;

OwnStation Transmitting(std::string callsign = "N0CALL-7") {
  OwnStation station;
  station.callsign = std::move(callsign);
  station.transmit = true;
  return station;
}

// The sender over the real TncQueue and a fake port, with everything it writes to.
struct SenderRig {
  FakeSerialPort port;
  FakeClock clock;
  FakeStatusLine status;
  KissServerFigures figures;
  TncQueue queue{port, clock, status, figures};
  FrameStore store;
  MessageLog log;
  DisplayOptions options;
  OwnSender sender{{queue, clock, store, log, status, options}};

  void Advance(std::chrono::milliseconds by) { clock.monotonic += by; }
};

std::vector<std::uint8_t> LinkFrame() {
  Ax25FrameFields fields;
  fields.destination = *ParseCallsign("N0DIG");
  fields.source = *ParseCallsign("N0CALL-7");
  fields.control = 0x3F;  // SABM with P
  return *EncodeAx25Frame(fields);
}

struct RefusalRow {
  std::string name;
  OwnStation station;
  SendOutcome outcome;
};

TEST(OwnSenderTest, NothingGoesWithoutTransmitOnAndAValidCallsign) {
  OwnStation off = Transmitting();
  off.transmit = false;
  OwnStation badPath = Transmitting();
  badPath.path = "WIDE1-1,WIDE2-99";
  const std::vector<RefusalRow> rows = {
      {"transmit off", off, SendOutcome::TransmitOff},
      {"no callsign", Transmitting(""), SendOutcome::NoCallsign},
      {"a callsign without a digit", Transmitting("APRS"), SendOutcome::NoCallsign},
      {"an SSID past 15", Transmitting("N0CALL-16"), SendOutcome::NoCallsign},
      {"a path that is not valid", badPath, SendOutcome::BadPath},
      {"never set", OwnStation{}, SendOutcome::TransmitOff},
  };
  for (const RefusalRow& row : rows) {
    SCOPED_TRACE(row.name);
    SenderRig rig;
    if (row.station != OwnStation{}) rig.sender.SetStation(row.station);
    EXPECT_EQ(rig.sender.Refusal(), row.outcome);
    EXPECT_EQ(rig.sender.SendAprs(">hello"), row.outcome);
    EXPECT_EQ(rig.sender.SendLinkFrame(LinkFrame()), row.outcome);
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_EQ(rig.store.Size(), 0u);
    EXPECT_FALSE(SendOutcomeText(row.outcome).empty());
  }
}

TEST(OwnSenderTest, AnAprsFrameGoesToApzvorViaThePathAndIsKeptMarkedAsSent) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  ASSERT_EQ(rig.sender.SendAprs(">hello"), SendOutcome::Sent);

  Ax25Decoder decoded;
  decoded.DecodeAx25Header(rig.port.written);
  EXPECT_EQ(decoded.SourceText, "N0CALL-7");
  EXPECT_EQ(decoded.DestinationText, "APZVOR");
  ASSERT_EQ(decoded.DigipeaterCount, 2);
  EXPECT_EQ(decoded.DigipeaterText[0], "WIDE1-1");
  EXPECT_EQ(decoded.DigipeaterText[1], "WIDE2-1");
  EXPECT_EQ(decoded.ControlByte, 0x03);
  EXPECT_EQ(decoded.PidByte, 0xF0);
  const auto payload = decoded.Payload();
  EXPECT_EQ(std::string(payload.begin(), payload.end()), ">hello");

  // In the store, marked; not in the pane's text nor among the frames heard.
  ASSERT_EQ(rig.store.Size(), 1u);
  const StoredFrame kept = rig.store.Frame(rig.store.FirstIndex());
  EXPECT_TRUE(kept.sent);
  EXPECT_GT(kept.sentLines, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(kept.bytes.begin(), kept.bytes.end()), rig.port.written);
  EXPECT_EQ(rig.store.LineCount(), 0u);
  int heard = 0;
  VisitFramesFrom(rig.store, 0, 10, [&](const StoredFrame&) { ++heard; });
  EXPECT_EQ(heard, 0);
  // The KISS clients' figures are theirs alone.
  EXPECT_EQ(rig.figures.framesToTnc, 0u);

  ASSERT_EQ(rig.log.Lines().size(), 1u);
  EXPECT_NE(rig.log.Lines().back().find("Sent N0CALL-7>APZVOR,WIDE1-1,WIDE2-1: >hello"),
            std::string::npos);
}

TEST(OwnSenderTest, TheBrowserShowsSentFramesOnlyWhenAskedFor) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  ASSERT_EQ(rig.sender.SendAprs(">hello"), SendOutcome::Sent);
  const std::vector<std::pair<FrameOrigin, std::size_t>> rows = {
      {FrameOrigin::Received, 0}, {FrameOrigin::SentAndReceived, 1}, {FrameOrigin::Sent, 1}};
  for (const auto& [origin, shown] : rows) {
    FrameFilterSpec spec;
    spec.origin = origin;
    FrameFilter filter(spec);
    FilteredFrames out;
    FilterFrames(rig.store, filter, rig.store.FirstIndex(), rig.store.EndIndex(), out);
    EXPECT_EQ(out.Size(), shown);
    if (shown > 0) EXPECT_EQ(out.LineCount(), static_cast<std::uint64_t>(rig.store.Frame(0).sentLines));
  }
}

TEST(OwnSenderTest, OwnFramesGoOneEveryTwoSecondsAfterABurstLinkFramesAtOnce) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  for (int k = 0; k < 3; ++k) EXPECT_EQ(rig.sender.SendAprs(">burst"), SendOutcome::Sent);
  EXPECT_EQ(rig.sender.SendAprs(">fourth"), SendOutcome::WaitingForTurn);
  const SendTicket fourth = rig.sender.LastTicket();
  EXPECT_EQ(rig.sender.SendAprs(">fifth"), SendOutcome::WaitingForTurn);
  EXPECT_EQ(rig.sender.SendLinkFrame(LinkFrame()), SendOutcome::Sent);
  EXPECT_EQ(rig.sender.FramesSent(), 4u);

  rig.Advance(std::chrono::milliseconds(1999));
  rig.sender.Poll();
  EXPECT_EQ(rig.sender.StateOf(fourth), SendOutcome::WaitingForTurn);
  rig.Advance(std::chrono::milliseconds(1));
  rig.sender.Poll();
  EXPECT_EQ(rig.sender.StateOf(fourth), std::nullopt);
  EXPECT_EQ(rig.sender.Waiting(), 1u);
  rig.Advance(std::chrono::seconds(2));
  rig.sender.Poll();
  EXPECT_EQ(rig.sender.Waiting(), 0u);
  EXPECT_EQ(rig.store.Size(), 6u);
}

TEST(OwnSenderTest, ATncThatTakesNothingLeavesFramesWaitingForTheTnc) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  rig.port.takesData = false;
  rig.queue.SetLimit(40);  // room for one frame
  EXPECT_EQ(rig.sender.SendAprs(">first"), SendOutcome::Sent);
  EXPECT_EQ(rig.sender.SendAprs(">second"), SendOutcome::WaitingForTnc);
  EXPECT_EQ(rig.sender.SendLinkFrame(LinkFrame()), SendOutcome::WaitingForTnc);
  EXPECT_EQ(SendOutcomeText(SendOutcome::WaitingForTnc), "waiting for the TNC");
  EXPECT_EQ(rig.status.texts.size(), 1u);  // once per stall
  EXPECT_EQ(rig.store.Size(), 1u);

  rig.port.queued = 0;  // the TNC took it all and takes more now
  rig.port.takesData = true;
  rig.sender.Poll();
  EXPECT_EQ(rig.sender.Waiting(), 0u);
  EXPECT_EQ(rig.store.Size(), 3u);
}

TEST(OwnSenderTest, TheWaitIsBoundedAndDroppedWhenTransmitGoesOff) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  rig.port.open = false;  // every write fails
  for (std::size_t k = 0; k < kOwnFramesWaitingMost; ++k) {
    EXPECT_TRUE(Accepted(rig.sender.SendAprs(">wait")));
  }
  EXPECT_EQ(rig.sender.SendAprs(">one more"), SendOutcome::WaitFull);
  EXPECT_EQ(rig.sender.SendLinkFrame(LinkFrame()), SendOutcome::WaitFull);

  OwnStation off = Transmitting();
  off.transmit = false;
  rig.sender.SetStation(off);
  EXPECT_EQ(rig.sender.Waiting(), 0u);
  ASSERT_FALSE(rig.log.Lines().empty());
  EXPECT_NE(rig.log.Lines().back().find("32 own frames dropped"), std::string::npos);
  rig.port.open = true;
  rig.sender.Poll();
  EXPECT_TRUE(rig.port.written.empty());
}

TEST(OwnSenderTest, AnInformationFieldPast256BytesIsRefused) {
  SenderRig rig;
  rig.sender.SetStation(Transmitting());
  EXPECT_EQ(rig.sender.SendAprs(std::string(kMaxInfoBytes + 1, 'x')), SendOutcome::TooLong);
  EXPECT_EQ(rig.sender.SendAprs(std::string(kMaxInfoBytes, 'x')), SendOutcome::Sent);
}

}  // namespace
}  // namespace vorlink
