#include "capture/pcap_capture.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/capture_files.h"
#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;

struct Record {
  std::int64_t seconds = 0;
  std::int64_t microseconds = 0;
  std::vector<std::uint8_t> bytes;
};

// The file as libpcap reads it; fails the test when libpcap cannot.
std::vector<Record> ReadWithLibpcap(const std::filesystem::path& file, int* linkType = nullptr) {
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_t* pcap = pcap_open_offline(file.c_str(), error);
  EXPECT_NE(pcap, nullptr) << error;
  std::vector<Record> records;
  if (pcap == nullptr) return records;
  if (linkType != nullptr) *linkType = pcap_datalink(pcap);
  pcap_pkthdr* header = nullptr;
  const u_char* data = nullptr;
  int result = 0;
  while ((result = pcap_next_ex(pcap, &header, &data)) == 1) {
    EXPECT_EQ(header->caplen, header->len);
    records.push_back({header->ts.tv_sec, header->ts.tv_usec, {data, data + header->caplen}});
  }
  EXPECT_EQ(result, PCAP_ERROR_BREAK) << pcap_geterr(pcap);
  pcap_close(pcap);
  return records;
}

// write(2), except to .pcap files while failing is set.
class FailingPcapWriter final : public FileWriter {
 public:
  bool failing = false;
  ssize_t Write(int descriptor, std::span<const std::uint8_t> bytes) override {
    const auto name = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor));
    if (failing && name.extension() == ".pcap") {
      errno = ENOSPC;
      return -1;
    }
    return ::write(descriptor, bytes.data(), bytes.size());
  }
};

DateTime At(int second, int millisecond) { return {2010, 11, 28, 14, 3, second, millisecond}; }

constexpr std::int64_t kStartOfMinute = 1290952980;  // 2010-11-28 14:03:00 UTC

TEST(PcapCaptureTest, HeaderBytesAreTheClassicLayoutForLinkType202) {
  const std::string header = PcapFileHeader();
  EXPECT_EQ(testing::ToHex({header.begin(), header.end()}),
            testing::ToHex(Hex("D4 C3 B2 A1 02 00 04 00 00 00 00 00 00 00 00 00 FF FF 00 00 "
                               "CA 00 00 00")));
  EXPECT_EQ(PcapMicroseconds(At(12, 345)), (kStartOfMinute + 12) * 1'000'000 + 345'000);
}

TEST(PcapCaptureTest, LibpcapReadsOneRecordPerFrameWithUnescapedBytesAndTheirTimes) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock, status);
  EXPECT_EQ(captures.PcapFileName().extension(), ".pcap");
  captures.WritePcapFrame(Hex("C0 00 41 42 C0"), At(1, 0));
  captures.WritePcapFrame(Hex("C0 00 DB DC 41 DB DD C0"), At(1, 500));
  captures.Flush();
  captures.WritePcapFrame(Hex("C0 80 41 A1 F0 C0"), At(2, 7));
  captures.Flush();

  int linkType = 0;
  const std::vector<Record> records = ReadWithLibpcap(captures.PcapFileName(), &linkType);
  EXPECT_EQ(linkType, 202);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].bytes, Hex("00 41 42"));
  EXPECT_EQ(records[1].bytes, Hex("00 C0 41 DB"));
  EXPECT_EQ(records[2].bytes, Hex("80 41 A1 F0"));
  EXPECT_EQ(records[0].seconds, kStartOfMinute + 1);
  EXPECT_EQ(records[0].microseconds, 0);
  EXPECT_EQ(records[1].microseconds, 500'000);
  EXPECT_EQ(records[2].seconds, kStartOfMinute + 2);
  EXPECT_EQ(records[2].microseconds, 7'000);
  EXPECT_TRUE(status.texts.empty());
}

TEST(PcapCaptureTest, ARestartInTheSameMinuteAppendsRecordsWithoutASecondHeader) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  std::filesystem::path name;
  for (int run = 0; run < 2; ++run) {
    CaptureFiles captures;
    captures.CreateCaptureFiles(folder.path(), clock, status);
    captures.WritePcapFrame(Hex("C0 00 41 C0"), At(run, 0));
    captures.CloseCaptureFiles();
    name = captures.PcapFileName();
  }
  EXPECT_EQ(std::filesystem::file_size(name), kPcapFileHeaderLength + 2 * (kPcapRecordHeaderLength + 2));
  const std::vector<Record> records = ReadWithLibpcap(name);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].bytes, Hex("00 41"));
}

TEST(PcapCaptureTest, AFileWithoutFramesStaysEmpty) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock, status);
  captures.WriteRaw(Hex("C0 00 41 C0"));
  captures.CloseCaptureFiles();
  EXPECT_EQ(std::filesystem::file_size(captures.PcapFileName()), 0u);
}

TEST(PcapCaptureTest, AFailedWriteLeavesWholeRecordsAndPausesUntilAWriteGoesThrough) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  FailingPcapWriter writer;
  CaptureFiles captures(&writer);
  captures.CreateCaptureFiles(folder.path(), clock, status);
  const std::string name = captures.PcapFileName().filename().string();

  // Refused before any header was written: the next write brings the header.
  writer.failing = true;
  captures.WritePcapFrame(Hex("C0 00 41 C0"), At(1, 0));
  captures.WriteRaw(Hex("C0 00 41 C0"));
  captures.Flush();
  EXPECT_TRUE(captures.AnyPaused());
  EXPECT_EQ(status.Current(), "capture paused: " + name + ": No space left on device");
  EXPECT_EQ(std::filesystem::file_size(captures.PcapFileName()), 0u);
  EXPECT_EQ(std::filesystem::file_size(captures.KssFileName()), 4u);

  writer.failing = false;
  captures.WritePcapFrame(Hex("C0 00 42 C0"), At(2, 0));
  captures.Flush();
  EXPECT_EQ(status.Current(), "capture resumed: " + name);

  writer.failing = true;
  captures.WritePcapFrame(Hex("C0 00 43 C0"), At(3, 0));
  captures.Flush();
  writer.failing = false;
  captures.CloseCaptureFiles();

  const std::vector<Record> records = ReadWithLibpcap(captures.PcapFileName());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].bytes, Hex("00 42"));
}

}  // namespace
}  // namespace vorlink
