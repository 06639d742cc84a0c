#include "app/receive_pipeline.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_serial_port.h"
#include "fake_status_line.h"
#include "hex.h"
#include "link/smack_crc.h"
#include "recording_pane.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ReadBytes;
using testing::ToHex;

class RecordingLabels final : public ReceiveView {
 public:
  std::vector<std::string> label9;
  std::vector<std::string> label10;
  void ShowReceived(std::string_view text) override { label9.emplace_back(text); }
  void ShowMirrored(std::string_view text) override { label10.emplace_back(text); }
};

// write(2), or refused as by a failing disk.
class RefusingWriter final : public FileWriter {
 public:
  bool refusing = false;
  ssize_t Write(int descriptor, std::span<const std::uint8_t> bytes) override {
    if (!refusing) return ::write(descriptor, bytes.data(), bytes.size());
    errno = EIO;
    return -1;
  }
};

class ReceivePipelineTest : public ::testing::Test {
 protected:
  ReceivePipelineTest() {
    options.timeFrames = false;
    options.timeStamp = false;
    captures.CreateCaptureFiles(folder.path(), clock, status);
  }

  void Receive(const char* hex) {
    incoming.pending = Hex(hex);
    pipeline.OnComm(kCommEvReceive);
  }
  std::string Kss() {
    captures.CloseCaptureFiles();
    return ToHex(ReadBytes(captures.KssFileName()));
  }

  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeSerialPort incoming;
  testing::FakeSerialPort outgoing;
  testing::FakeStatusLine status;
  testing::RecordingPane pane;
  RecordingLabels labels;
  ReceiveCounters counters;
  DateTime lastPacketTime;
  DisplayOptions options;
  bool mirroring = false;
  RefusingWriter writer;
  ReceivePipeline pipeline{ReceiveContext{pane, clock, options, mirroring, incoming, outgoing,
                                          counters, lastPacketTime, status, labels, &writer}};
  CaptureFiles& captures = pipeline.Captures();
};

TEST_F(ReceivePipelineTest, RawCaptureHoldsFramesOnly) {
  Receive("C0 00 41 C0 C0 C0 7E C0 00 42 C0");
  EXPECT_EQ(Kss(), "C0 00 41 C0 C0 00 42 C0");
  EXPECT_EQ(counters.FrameCount, 4);
  EXPECT_EQ(counters.BytesReceived, 11u);
}

TEST_F(ReceivePipelineTest, TheSharedSinkGetsEveryFrameAsReceivedAndNothingElse) {
  struct Recording final : ReceivedUnitSink {
    std::vector<std::string> frames;
    void OnReceivedFrame(std::span<const std::uint8_t> frame) override {
      frames.push_back(ToHex({frame.begin(), frame.end()}));
    }
  } shared;
  pipeline.SetSharedSink(&shared);
  Receive("7E C0 00 41 C0 C0 C0 00 DB DC");
  Receive("C0 C0 10 42");
  pipeline.SetSharedSink(nullptr);
  Receive("C0 C0 00 43 C0");
  EXPECT_EQ(shared.frames, (std::vector<std::string>{"C0 00 41 C0", "C0 00 DB DC C0"}));
}

TEST_F(ReceivePipelineTest, TheLinksGetTheAx25BytesOfEachDataFrameOfPortZero) {
  struct Recording final : Ax25FrameListener {
    std::vector<std::string> frames;
    void OnAx25Frame(std::span<const std::uint8_t> frame) override {
      frames.push_back(ToHex({frame.begin(), frame.end()}));
    }
  } links;
  pipeline.SetAx25Listener(&links);
  std::vector<std::uint8_t> smack = Hex("80 41 42");
  const std::uint16_t crc = SmackCrc(smack);
  smack.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  smack.push_back(static_cast<std::uint8_t>(crc >> 8));
  std::string smackFrame = "C0 " + ToHex(smack) + " C0";
  Receive("C0 00 41 42 C0");      // data, port 0
  Receive("C0 10 41 C0");         // port 1
  Receive("C0 00 DB DC 41 C0");   // escaped FEND in the data
  Receive(smackFrame.c_str());    // SMACK, checksum good
  Receive("C0 80 41 42 00 00 C0");  // SMACK, checksum bad
  Receive("C0 FF C0 C0 06 41 C0");  // return, and a hardware command
  EXPECT_EQ(links.frames, (std::vector<std::string>{"41 42", "C0 41", "41 42"}));
}

TEST_F(ReceivePipelineTest, CapturesReachTheFilesByTheEndOfEachEvent) {
  Receive("C0 00 41 C0 C0 00");
  EXPECT_EQ(ToHex(ReadBytes(captures.KssFileName())), "C0 00 41 C0");
  EXPECT_EQ(testing::ReadText(captures.DumpFileName()), "\r\n");
}

// One .dump and one .hex line per decoded frame, as the options in force
// when it arrived say.
TEST_F(ReceivePipelineTest, PayloadLinesFollowTheirOptions) {
  const char* const ui = "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0";
  const char* const controls =
      "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 1F 20 0D 0A 7F FF C0";
  struct Row {
    const char* name;
    bool decode, timeFrames, hexFile;
    const char* frame;
    std::string dump, hex;
  } rows[] = {
      {"decoded, stamped", true, true, true, ui, "2026-12-06 09:58:20.345 UTC: hi\r\n",
       "68 69\r\n"},
      {"control bytes as dots", true, false, true, controls, ". ..\x7F\xFF\r\n",
       "1F 20 0D 0A 7F FF\r\n"},
      {"no hexdump option", true, false, false, ui, "hi\r\n", ""},
      {"short frame: empty line", true, false, true, "C0 00 41 C0", "\r\n", ""},
      {"raw view", false, true, true, ui, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::TempFolder own;
    captures.CreateCaptureFiles(own.path(), clock, status);
    options.decode = row.decode;
    options.timeFrames = row.timeFrames;
    options.hexFile = row.hexFile;
    Receive(row.frame);
    captures.CloseCaptureFiles();
    EXPECT_EQ(testing::ReadText(captures.DumpFileName()), row.dump);
    EXPECT_EQ(testing::ReadText(captures.HexFileName()), row.hex);
  }
}

TEST_F(ReceivePipelineTest, EachFrameFollowsItsTimeFrameAndPrecedesItsBlock) {
  options.timeFrames = true;
  Receive("C0 00 41 C0 C0 00 42 C0");
  const std::string asy = "asy: 2026-12-06 09:58:20.345 UTC";
  const std::string text = ToHex(std::vector<std::uint8_t>(asy.begin(), asy.end()));
  EXPECT_EQ(Kss(), "C0 09 41 F0 " + text + " C0 C0 00 41 C0 C0 09 42 F0 " + text +
                       " C0 C0 00 42 C0");
  EXPECT_EQ(pane.Lines()[1], "[4 Bytes KISS Frame (without CRC)]");
}

TEST_F(ReceivePipelineTest, Label9IsWrittenBeforeTheChunksFramesAreCounted) {
  Receive("C0 00 41 42 C0");
  Receive("");
  Receive("C0");
  EXPECT_EQ(labels.label9, (std::vector<std::string>{"5 Bytes received (1 Frames)",
                                                    "5 Bytes received (2 Frames)",
                                                    "6 Bytes received (2 Frames)"}));
  EXPECT_TRUE(labels.label10.empty());
}

TEST_F(ReceivePipelineTest, FrameSplitOverEventsIsShownOnce) {
  Receive("C0");
  Receive("00 41");
  Receive("C0");
  EXPECT_EQ(labels.label9.size(), 3u);
  EXPECT_EQ(counters.FrameCount, 1);
  EXPECT_EQ(Kss(), "C0 00 41 C0");
  EXPECT_EQ(pane.Lines()[1], "[4 Bytes KISS Frame (without CRC)]");
}

TEST_F(ReceivePipelineTest, EveryDataEventClearsTheStatusText) {
  pipeline.OnComm(1004);
  EXPECT_EQ(status.Current(), "Framing Error");
  pipeline.OnComm(7);
  EXPECT_EQ(status.texts.size(), 1u);
  Receive("");
  EXPECT_EQ(status.Current(), "");
}

TEST_F(ReceivePipelineTest, MirrorCopiesEveryChunkUnchangedBeforeDeframing) {
  mirroring = true;
  Receive("7E C0 00 41 C0 C0 00");
  EXPECT_EQ(ToHex(outgoing.written), "7E C0 00 41 C0 C0 00");
  EXPECT_EQ(counters.MirroredByteCount, 7);
  EXPECT_EQ(labels.label10, std::vector<std::string>{"7 Bytes sent"});
}

TEST_F(ReceivePipelineTest, FailedMirrorCopyIsNotCountedAndReceptionGoesOn) {
  mirroring = true;
  outgoing.open = false;
  Receive("C0 00 41 C0");
  EXPECT_EQ(counters.MirroredByteCount, 0);
  EXPECT_EQ(labels.label10, std::vector<std::string>{"0 Bytes sent"});
  EXPECT_EQ(counters.FrameCount, 1);
  EXPECT_EQ(Kss(), "C0 00 41 C0");
}

TEST_F(ReceivePipelineTest, MirrorCopyFillsTheQueueToExactlyItsLimit) {
  mirroring = true;
  outgoing.takesData = false;
  outgoing.queued = kMirrorQueueLimit - 4;
  Receive("C0 00 41 C0");
  EXPECT_EQ(outgoing.queued, kMirrorQueueLimit);
  EXPECT_EQ(counters.MirroredByteCount, 4);
  EXPECT_TRUE(status.texts.back().empty());
}

TEST_F(ReceivePipelineTest, MirrorCopyThatDoesNotFitIsDroppedUncountedAndToldOnce) {
  mirroring = true;
  outgoing.takesData = false;
  outgoing.queued = kMirrorQueueLimit - 3;
  const std::string dropped = "COM 2: mirror copy dropped, port not taking data";
  Receive("C0 00 41 C0");
  EXPECT_TRUE(outgoing.written.empty());
  EXPECT_EQ(counters.MirroredByteCount, 0);
  EXPECT_EQ(labels.label10.back(), "0 Bytes sent");
  EXPECT_EQ(status.Current(), dropped);
  // Reception is untouched by the drop.
  EXPECT_EQ(counters.FrameCount, 1);
  EXPECT_EQ(counters.BytesReceived, 4u);

  // Still stalled: dropped again, without a word.
  Receive("C0 00 42 C0");
  EXPECT_EQ(std::count(status.texts.begin(), status.texts.end(), dropped), 1);
  EXPECT_EQ(counters.MirroredByteCount, 0);

  // The port took it all; the next stall is told again.
  outgoing.queued = 0;
  Receive("C0 00 43 C0");
  EXPECT_EQ(counters.MirroredByteCount, 4);
  outgoing.queued = kMirrorQueueLimit;
  Receive("C0 00 44 C0");
  EXPECT_EQ(std::count(status.texts.begin(), status.texts.end(), dropped), 2);
  EXPECT_EQ(counters.MirroredByteCount, 4);
}

TEST_F(ReceivePipelineTest, ChunkLargerThanTheWholeQueueIsDropped) {
  mirroring = true;
  incoming.pending.assign(kMirrorQueueLimit + 1, 0x7E);
  pipeline.OnComm(kCommEvReceive);
  EXPECT_TRUE(outgoing.written.empty());
  EXPECT_EQ(counters.MirroredByteCount, 0);
  EXPECT_EQ(counters.BytesReceived, kMirrorQueueLimit + 1);
}

TEST_F(ReceivePipelineTest, EveryUnitStampsLastPacketTime) {
  clock.local = {2026, 12, 6, 11, 0, 7, 500};
  clock.offsetMinutes = 60;
  Receive("7E");
  EXPECT_EQ(lastPacketTime, (DateTime{2026, 12, 6, 10, 0, 7, 0}));
}

// The fixture's clock, a millisecond on at each reading.
class TickingClock final : public Clock {
 public:
  explicit TickingClock(testing::FakeClock& clock) : clock_(clock) {}
  DateTime LocalNow() override {
    const DateTime now = clock_.local;
    ++clock_.local.millisecond;
    return now;
  }
  int LocalOffsetMinutes() override { return clock_.offsetMinutes; }
  bool SetSystemTime(const SystemTimeFields& utc) override { return clock_.SetSystemTime(utc); }
  std::chrono::steady_clock::time_point MonotonicNow() override { return clock_.MonotonicNow(); }
  bool SynchronisedBySystem() override { return clock_.SynchronisedBySystem(); }
  std::int64_t EarliestPlausibleTime() override { return clock_.EarliestPlausibleTime(); }

 private:
  testing::FakeClock& clock_;
};

TEST_F(ReceivePipelineTest, OneReadingStampsAFrameItsBlockAndItsTimeFrame) {
  TickingClock ticking(clock);
  options.timeFrames = true;
  options.timeStamp = true;
  options.hexFile = false;
  ReceivePipeline timed{ReceiveContext{pane, ticking, options, mirroring, incoming, outgoing,
                                       counters, lastPacketTime, status, labels, &writer}};
  std::filesystem::create_directories(folder.path() / "timed");
  timed.Captures().CreateCaptureFiles(folder.path() / "timed", ticking, status);
  incoming.pending = Hex("C0 00 41 C0");
  timed.OnComm(kCommEvReceive);
  timed.Captures().CloseCaptureFiles();
  // The files' name took reading .345; the frame took .346 for all three.
  EXPECT_EQ(pane.Lines().at(1), "2026-12-06 09:58:20.346 UTC: [4 Bytes KISS Frame (without CRC)]");
  EXPECT_NE(testing::ReadText(timed.Captures().KssFileName()).find("2026-12-06 09:58:20.346"),
            std::string::npos);
  EXPECT_EQ(lastPacketTime, (DateTime{2026, 12, 6, 9, 58, 20, 0}));
}

TEST_F(ReceivePipelineTest, ReceptionGoesOnWithoutCaptureFiles) {
  captures.CloseCaptureFiles();
  Receive("C0 00 41 C0 C0 00 42 C0");
  EXPECT_EQ(counters.FrameCount, 2);
  EXPECT_EQ(pane.Lines().size(), 14u);
}

TEST_F(ReceivePipelineTest, ReceptionGoesOnWhileCapturesArePausedAndTheEventSaysSo) {
  Receive("C0 00 41 C0");
  writer.refusing = true;
  status.texts.clear();
  Receive("C0 00 42 C0");
  EXPECT_EQ(status.texts, (std::vector<std::string>{
                              "", "capture paused: 06122026_0958.kss: Input/output error",
                              "capture paused: 06122026_0958.dump: Input/output error",
                              "capture paused: 06122026_0958.pcap: Input/output error"}));
  EXPECT_TRUE(captures.AnyPaused());
  writer.refusing = false;
  status.texts.clear();
  Receive("C0 00 43 C0");
  EXPECT_EQ(status.texts, (std::vector<std::string>{"", "capture resumed: 06122026_0958.kss",
                                                    "capture resumed: 06122026_0958.dump",
                                                    "capture resumed: 06122026_0958.pcap"}));
  EXPECT_EQ(counters.FrameCount, 3);
  EXPECT_EQ(pane.Lines().size(), 21u);
  EXPECT_EQ(Kss(), "C0 00 41 C0 C0 00 43 C0");
}

TEST_F(ReceivePipelineTest, ClearedCountersStartAgainAtOneFrame) {
  Receive("C0 00 41 C0");
  counters.Clear();
  Receive("C0 00 41 41 C0");
  EXPECT_EQ(labels.label9.back(), "5 Bytes received (1 Frames)");
  Receive("");
  EXPECT_EQ(labels.label9.back(), "5 Bytes received (2 Frames)");
}

// The records of a pcap file as libpcap reads them: time in microseconds and bytes.
std::vector<std::pair<std::int64_t, std::string>> PcapRecords(const std::filesystem::path& file) {
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_t* pcap = pcap_open_offline(file.c_str(), error);
  EXPECT_NE(pcap, nullptr) << error;
  std::vector<std::pair<std::int64_t, std::string>> records;
  if (pcap == nullptr) return records;
  pcap_pkthdr* header = nullptr;
  const u_char* data = nullptr;
  while (pcap_next_ex(pcap, &header, &data) == 1) {
    records.emplace_back(std::int64_t{header->ts.tv_sec} * 1'000'000 + header->ts.tv_usec,
                         ToHex({data, data + header->caplen}));
  }
  pcap_close(pcap);
  return records;
}

TEST_F(ReceivePipelineTest, EachFrameGetsOnePcapRecordStampedAsItsTimeFrame) {
  options.timeFrames = true;
  Receive("C0 00 41 C0 C0 C0 7E C0 00 DB DC C0");
  clock.local.millisecond = 346;
  Receive("C0 80 41 A1 F0 C0");
  captures.CloseCaptureFiles();
  const std::int64_t stamp = (std::int64_t{1796551100} * 1000 + 345) * 1000;
  EXPECT_EQ(PcapRecords(captures.PcapFileName()),
            (std::vector<std::pair<std::int64_t, std::string>>{
                {stamp, "00 41"}, {stamp, "00 C0"}, {stamp + 1000, "80 41 A1 F0"}}));
  EXPECT_NE(testing::ReadText(captures.KssFileName()).find("2026-12-06 09:58:20.345"),
            std::string::npos);
}

TEST_F(ReceivePipelineTest, NoPcapRecordWhileThePcapCaptureIsOff) {
  options.pcapFile = false;
  Receive("C0 00 41 C0");
  options.pcapFile = true;
  Receive("C0 00 42 C0");
  captures.CloseCaptureFiles();
  const auto records = PcapRecords(captures.PcapFileName());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].second, "00 42");
  EXPECT_EQ(Kss(), "C0 00 41 C0 C0 00 42 C0");
}

TEST_F(ReceivePipelineTest, LinkHealthIsCountedForEveryUnitAndClearedWithTheCounters) {
  Receive("7E C0 00 41 C0 C0 C0 21 05 C0 C0 80 41 F0 A1 C0 C0 00 DB 41 C0");
  EXPECT_EQ(counters.health.strays, 1u);
  EXPECT_EQ(counters.health.emptyFrames, 1u);
  EXPECT_EQ(counters.health.byCommand[0], 3u);
  EXPECT_EQ(counters.health.byCommand[1], 1u);
  EXPECT_EQ(counters.health.byPort[0], 3u);
  EXPECT_EQ(counters.health.byPort[2], 1u);
  EXPECT_EQ(counters.health.smackBad, 1u);
  EXPECT_EQ(counters.health.badEscapes, 1u);
  EXPECT_EQ(pane.Lines()[1], "[4 Bytes KISS Frame (without CRC)]");
  counters.Clear();
  EXPECT_TRUE(counters.health == LinkHealth{});
}

}  // namespace
}  // namespace vorlink
