// Frames as pcap files: the live capture read back with libpcap, vorlink-decode
// --pcap (written through libpcap) against it, a packet analyser's reading of
// the addresses where tshark is installed, and vorlink-decode --stats.
#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/time_frame.h"
#include "decode_session.h"
#include "decode_run.h"
#include "decode_tool.h"
#include "link/kiss.h"
#include "sample_stream.h"
#include "support/fake_clock.h"
#include "support/hex.h"
#include "support/recording_pane.h"
#include "support/temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using testing::Decode;
using testing::Hex;
using testing::ToolRun;

struct Record {
  std::int64_t microseconds = 0;
  std::vector<std::uint8_t> bytes;
};

std::vector<Record> ReadPcap(const fs::path& file) {
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_t* pcap = pcap_open_offline(file.c_str(), error);
  EXPECT_NE(pcap, nullptr) << error;
  std::vector<Record> records;
  if (pcap == nullptr) return records;
  EXPECT_EQ(pcap_datalink(pcap), 202);
  pcap_pkthdr* header = nullptr;
  const u_char* data = nullptr;
  while (pcap_next_ex(pcap, &header, &data) == 1) {
    // The file's seconds are unsigned; libpcap reads them into a signed field.
    const auto seconds = static_cast<std::uint32_t>(header->ts.tv_sec);
    records.push_back({std::int64_t{seconds} * 1'000'000 + header->ts.tv_usec,
                       {data, data + header->caplen}});
  }
  pcap_close(pcap);
  return records;
}

void WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Everyday traffic without time frames of its own (a received command 9
// frame would pass for a time frame when the capture is read again).
std::vector<std::uint8_t> Traffic(int frames) {
  std::vector<std::uint8_t> stream;
  sample::SampleRandom random(4242);
  while (frames > 0) {
    std::vector<std::uint8_t> one;
    sample::AppendRandomFrame(one, random);
    if (one.size() > 1 && one[1] == kCommandTime) continue;
    stream.insert(stream.end(), one.begin(), one.end());
    --frames;
  }
  return stream;
}

// The traffic run through the whole core with time frames and the pcap
// capture on, the clock a millisecond on at every chunk.
struct LiveRun {
  testing::TempFolder folder;
  testing::RecordingPane pane;
  fs::path kss;
  fs::path pcap;

  explicit LiveRun(const std::vector<std::uint8_t>& stream) {
    testing::FakeClock clock;
    DisplayOptions options;
    DecodeSession session(pane, clock, options, folder.path());
    for (std::size_t at = 0; at < stream.size(); at += 97) {
      session.Feed(std::span(stream).subspan(at, std::min<std::size_t>(97, stream.size() - at)));
      if (++clock.local.millisecond == 1000) {
        clock.local.millisecond = 0;
        ++clock.local.second;
      }
    }
    session.CloseCaptures();
    kss = session.Captures().KssFileName();
    pcap = session.Captures().PcapFileName();
  }
};

TEST(DecodePcapTest, TheConversionOfTheLiveKssEqualsTheLivePcapByteForByte) {
  if constexpr (std::endian::native != std::endian::little) {
    GTEST_SKIP() << "libpcap writes in the host's byte order";
  }
  LiveRun live(Traffic(300));
  const fs::path converted = live.folder.path() / "converted.pcap";
  const ToolRun run = Decode({"--pcap", converted.string(), live.kss.string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(testing::ReadBytes(converted), testing::ReadBytes(live.pcap));
  EXPECT_EQ(ReadPcap(converted).size(), 300u);
}

TEST(DecodePcapTest, ConvertedRecordsHoldTheUnescapedFramesTimedByTheirTimeFrames) {
  testing::TempFolder folder;
  const std::vector<std::uint8_t> frames[] = {Hex("C0 00 41 42 C0"), Hex("C0 00 DB DC DB DD C0"),
                                              Hex("C0 10 43 C0")};
  const char* stamps[] = {"2010-11-28 14:03:12.345", "2010-11-28 14:03:12.999",
                          "2010-11-28 14:04:00.000"};
  std::vector<std::uint8_t> kss = Hex("C0 00 40 C0");  // before any time frame
  for (int i = 0; i < 3; ++i) {
    sample::AppendTimeFrame(kss, frames[i], stamps[i]);
    kss.insert(kss.end(), frames[i].begin(), frames[i].end());
  }
  WriteFile(folder.path() / "in.kss", kss);
  const ToolRun run = Decode({"--pcap=" + (folder.path() / "out.pcap").string(),
                              (folder.path() / "in.kss").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<Record> records = ReadPcap(folder.path() / "out.pcap");
  ASSERT_EQ(records.size(), 4u);
  const std::int64_t minute = std::int64_t{1290952980} * 1'000'000;  // 2010-11-28 14:03 UTC
  EXPECT_EQ(records[0].microseconds, 0);
  EXPECT_EQ(records[0].bytes, Hex("00 40"));
  EXPECT_EQ(records[1].microseconds, minute + 12'345'000);
  EXPECT_EQ(records[1].bytes, Hex("00 41 42"));
  EXPECT_EQ(records[2].microseconds, minute + 12'999'000);
  EXPECT_EQ(records[2].bytes, Hex("00 C0 DB"));
  EXPECT_EQ(records[3].microseconds, minute + 60'000'000);
  EXPECT_EQ(records[3].bytes, Hex("10 43"));
}

TEST(DecodePcapTest, TheLivePcapHasOneRecordPerShownFrameInTimeOrder) {
  LiveRun live(Traffic(200));
  const std::vector<Record> records = ReadPcap(live.pcap);
  ASSERT_EQ(records.size(), 200u);
  for (std::size_t i = 1; i < records.size(); ++i) {
    EXPECT_LE(records[i - 1].microseconds, records[i].microseconds) << i;
  }
  EXPECT_LT(records.front().microseconds, records.back().microseconds);
}

// The "from X to Y" of every block in the pane.
std::vector<std::string> PaneAddresses(const testing::RecordingPane& pane) {
  std::vector<std::string> found;
  for (const std::string& line : pane.Lines()) {
    if (!line.starts_with("from ")) continue;
    const auto via = line.find(" via ");
    found.push_back(line.substr(0, via != std::string::npos ? via : line.find(':')));
  }
  return found;
}

TEST(DecodePcapTest, APacketAnalyserReadsTheAddressesThePaneShows) {
  if (std::system("command -v tshark > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "tshark is not installed";
  }
  // UI frames on port 0 only: what every analyser decodes alike.
  std::vector<std::uint8_t> stream;
  const char* calls[][2] = {{"N0CALL", "APZ001"}, {"DL1ABC", "CQ"}, {"G4XYZ", "BEACON"}};
  for (int i = 0; i < 3; ++i) {
    sample::Ax25Frame frame;
    frame.source = sample::Address(calls[i][0], i);
    frame.destination = sample::Address(calls[i][1]);
    frame.info = sample::Bytes("hello");
    sample::AppendKissFrame(stream, 0x00, sample::EncodeAx25(frame));
  }
  LiveRun live(stream);
  const fs::path fields = live.folder.path() / "fields.txt";
  const std::string command = "tshark -r '" + live.pcap.string() +
                              "' -T fields -e _ws.col.Protocol -e _ws.col.Source "
                              "-e _ws.col.Destination > '" + fields.string() +
                              "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<std::string> analysed;
  std::ifstream in(fields);
  for (std::string line; std::getline(in, line);) {
    const auto first = line.find('\t');
    const auto second = line.find('\t', first + 1);
    EXPECT_TRUE(line.starts_with("AX.25")) << line;
    analysed.push_back("from " + line.substr(first + 1, second - first - 1) + " to " +
                       line.substr(second + 1));
  }
  EXPECT_EQ(analysed, PaneAddresses(live.pane));
  EXPECT_EQ(analysed.size(), 3u);
}

TEST(DecodePcapTest, StatsPrintsTheStatisticsAndLinkHealthOfTheStream) {
  testing::TempFolder folder;
  WriteFile(folder.path() / "in.kss",
            Hex("7E C0 00 41 C0 C0 C0 21 05 C0 C0 80 41 A1 F0 C0 C0 80 41 F0 A1 C0 "
                "C0 00 DB 41 DB DC C0"));
  const ToolRun run = Decode({"--stats", (folder.path() / "in.kss").string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Statistics\n\n29 Bytes received\n7 Frames decoded\n0 TFESC received\n"
            "1 TFEND received\n0 time frames\n\nLink health\n4 Frames with KISS command 0\n"
            "1 Frames with KISS command 1\n4 Frames on KISS port 0\n1 Frames on KISS port 2\n"
            "1 SMACK Frames with good CRC\n1 SMACK Frames with bad CRC\n"
            "1 bad escapes (FESC not followed by TFEND or TFESC)\n0 Frames dropped as oversize\n"
            "1 stray Bytes\n1 empty Frames\n");
}

TEST(DecodePcapTest, StatsAndPcapGoTogetherButNotWithFilters) {
  testing::TempFolder folder;
  WriteFile(folder.path() / "in.kss", Hex("C0 00 41 C0"));
  const std::string in = (folder.path() / "in.kss").string();
  const std::string out = (folder.path() / "out.pcap").string();
  const ToolRun both = Decode({"--stats", "--pcap", out, in});
  EXPECT_EQ(both.status, 0);
  EXPECT_TRUE(both.out.starts_with("Statistics\n"));
  EXPECT_EQ(ReadPcap(out).size(), 1u);

  const ToolRun filtered = Decode({"--stats", "--from", "N0CALL", in});
  EXPECT_EQ(filtered.status, 2);
  EXPECT_NE(filtered.err.find("no --heard or frame filter"), std::string::npos);
  EXPECT_EQ(Decode({"--pcap"}).status, 2);

  const ToolRun unwritable = Decode({"--pcap", "/nonexistent-vorlink/out.pcap", in});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_TRUE(unwritable.err.starts_with("vorlink-decode: cannot write /nonexistent-vorlink/out.pcap: "))
      << unwritable.err;
}


// --- hard stops: output that cannot be written, times pcap cannot hold -----

constexpr std::int64_t kNoRecord = -1;

struct HardStopCase {
  const char* name;
  std::vector<std::string> args;  // "IN" and "OUT" stand for the capture and the pcap file
  const char* stamp;              // the time frame before the capture's one frame
  bool toFullDevice;              // standard output is /dev/full
  int status;
  const char* errorText;          // stderr holds it; "" : stderr is empty
  std::int64_t recordTime;        // microseconds of the pcap's one record
};

const HardStopCase kHardStops[] = {
    {"TextToAFullDevice", {"IN"}, nullptr, true, 1,
     "vorlink-decode: cannot write standard output: No space left on device\n", kNoRecord},
    {"HelpToAFullDevice", {"--help"}, nullptr, true, 1, "No space left on device", kNoRecord},
    {"StatsToAFullDevice", {"--stats", "IN"}, nullptr, true, 1, "No space left on device", kNoRecord},
    {"HeardToAFullDevice", {"--heard", "IN"}, nullptr, true, 1, "No space left on device",
     kNoRecord},
    {"PcapToAFullDevice", {"--pcap", "/dev/full", "IN"}, nullptr, false, 1,
     "vorlink-decode: cannot write /dev/full: No space left on device\n", kNoRecord},
    {"PcapOfAnOrdinaryTime", {"--pcap", "OUT", "IN"}, "2010-11-28 14:03:12.345", false, 0, "",
     1290952992345000},
    {"PcapOfTheFirstSecond", {"--pcap", "OUT", "IN"}, "1970-01-01 00:00:00.000", false, 0, "", 0},
    {"PcapOfTheLastMillisecondBefore1970", {"--pcap", "OUT", "IN"}, "1969-12-31 23:59:59.999",
     false, 0, "1 time frames outside 1970-01-01 00:00:00 to 2106-02-07 06:28:15 UTC", 0},
    {"PcapOfYearOne", {"--pcap", "OUT", "IN"}, "0001-01-01 00:00:00.000", false, 0,
     "1 time frames outside", 0},
    {"PcapOfTheLastSecondItHolds", {"--pcap", "OUT", "IN"}, "2106-02-07 06:28:15.999", false, 0,
     "", 4294967295999000},
    {"PcapOfTheSecondAfter", {"--pcap", "OUT", "IN"}, "2106-02-07 06:28:16.000", false, 0,
     "1 time frames outside", 4294967295999999},
    {"PcapOfYear9999", {"--pcap", "OUT", "IN"}, "9999-12-31 23:59:59.999", false, 0,
     "1 time frames outside", 4294967295999999},
};

class DecodeHardStopTest : public ::testing::TestWithParam<HardStopCase> {};

TEST_P(DecodeHardStopTest, EndsAsItShould) {
  const HardStopCase& c = GetParam();
  testing::TempFolder folder;
  const fs::path in = folder.path() / "in.kss";
  const fs::path out = folder.path() / "out.pcap";
  const std::vector<std::uint8_t> frame = Hex("C0 00 41 42 C0");
  std::vector<std::uint8_t> kss;
  if (c.stamp != nullptr) sample::AppendTimeFrame(kss, frame, c.stamp);
  kss.insert(kss.end(), frame.begin(), frame.end());
  WriteFile(in, kss);
  std::vector<std::string> args = c.args;
  for (std::string& arg : args) {
    if (arg == "IN") arg = in.string();
    if (arg == "OUT") arg = out.string();
  }
  std::FILE* full = c.toFullDevice ? std::fopen("/dev/full", "w") : nullptr;
  ASSERT_EQ(c.toFullDevice, full != nullptr) << "/dev/full cannot be opened";
  const ToolRun run = Decode(args, full);
  if (full != nullptr) std::fclose(full);

  EXPECT_EQ(run.status, c.status);
  if (std::string_view(c.errorText).empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.errorText), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  if (c.recordTime != kNoRecord) {
    const std::vector<Record> records = ReadPcap(out);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].microseconds, c.recordTime);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeHardStopTest, ::testing::ValuesIn(kHardStops),
                         [](const ::testing::TestParamInfo<HardStopCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vorlink
