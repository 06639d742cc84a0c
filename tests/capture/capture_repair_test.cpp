// Captures that a kill or a power cut tore at their end, opened again by a
// start in the same minute; and captures that cannot be opened at first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_files.h"
#include "capture/pcap_capture.h"
#include "capture/time_frame.h"
#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ReadText;

constexpr const char* kStamp = "06122026_0958";  // the fake clock's minute

std::string Bytes(const char* hex) {
  const auto bytes = Hex(hex);
  return {bytes.begin(), bytes.end()};
}

std::string TimeFrameOf(const char* frame) {
  TimeFrameBuilder builder;
  const auto built = builder.Build(Hex(frame), "2026-12-06 09:58:20.345");
  return {built.begin(), built.end()};
}

std::string Little32(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
          static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24)};
}

std::string PcapRecord(std::uint32_t seconds, const std::string& data,
                       std::uint32_t kept = 0xFFFFFFFF) {
  const auto length = static_cast<std::uint32_t>(data.size());
  return Little32(seconds) + Little32(0) + Little32(kept == 0xFFFFFFFF ? length : kept) +
         Little32(length) + data;
}

// What each kind of capture held before the tear, its last unit, and what
// the next run appends.
struct Kind {
  const char* name;
  const char* extension;
  std::string whole;  // whole units before the last
  std::string last;   // the unit torn at every offset
  std::string added;  // what the next run writes, as it lands in the file
  void (*write)(CaptureFiles&);
  std::string regained = {};  // what a cut last unit is written again as
  std::size_t firstUnit = 0;  // when the last is two frames: the first's length
};

const DateTime kArrival{2026, 12, 6, 9, 58, 20, 0};
const auto kArrivalSeconds = static_cast<std::uint32_t>(PcapMicroseconds(kArrival) / 1'000'000);

std::vector<Kind> Kinds() {
  const std::string header = PcapFileHeader();
  return {
      {"kss frame", ".kss", Bytes("C0 00 41 C0 C0 00 42 C0"), Bytes("C0 00 DB DC 43 C0"),
       Bytes("C0 00 44 C0"), [](CaptureFiles& c) { c.WriteRaw(Hex("C0 00 44 C0")); }},
      {"kss time frame and its frame", ".kss", Bytes("C0 00 41 C0"),
       TimeFrameOf("C0 00 42 C0") + Bytes("C0 00 42 C0"), Bytes("C0 00 44 C0"),
       [](CaptureFiles& c) { c.WriteRaw(Hex("C0 00 44 C0")); }, "",
       TimeFrameOf("C0 00 42 C0").size()},
      {"pcap record", ".pcap", header + PcapRecord(1, Bytes("00 41")),
       PcapRecord(2, Bytes("00 42 43")), PcapRecord(kArrivalSeconds, Bytes("00 44")),
       [](CaptureFiles& c) { c.WritePcapFrame(Hex("C0 00 44 C0"), kArrival); }},
      {"pcap file header", ".pcap", "", header, PcapRecord(kArrivalSeconds, Bytes("00 44")),
       [](CaptureFiles& c) { c.WritePcapFrame(Hex("C0 00 44 C0"), kArrival); }, header},
      {"dump line", ".dump", "hi\r\n\r\n", "ho ho\r\n", "D\r\n",
       [](CaptureFiles& c) { c.WritePayloadTextLine("D"); }},
      {"hex line", ".hex", "68 69\r\n", "68 6F\r\n", "44\r\n",
       [](CaptureFiles& c) { c.WritePayloadHexLine("44"); }},
  };
}

CaptureUnit UnitOf(const Kind& kind) {
  const std::string_view extension = kind.extension;
  if (extension == ".kss") return CaptureUnit::kKissFrame;
  return extension == ".pcap" ? CaptureUnit::kPcapRecord : CaptureUnit::kLine;
}

TEST(CaptureRepairTest, TheCutIsToldInTheFilesOwnUnitAndNumber) {
  const struct {
    const char* name;
    std::uintmax_t bytes;
    CaptureUnit unit;
    const char* told;
  } rows[] = {
      {"one byte of a frame", 1, CaptureUnit::kKissFrame, "f: 1 byte of a torn frame removed"},
      {"bytes of a frame", 37, CaptureUnit::kKissFrame, "f: 37 bytes of a torn frame removed"},
      {"one byte of a line", 1, CaptureUnit::kLine, "f: 1 byte of a torn line removed"},
      {"bytes of a line", 2, CaptureUnit::kLine, "f: 2 bytes of a torn line removed"},
      {"one byte of a record", 1, CaptureUnit::kPcapRecord, "f: 1 byte of a torn record removed"},
      {"bytes of a record", 16, CaptureUnit::kPcapRecord, "f: 16 bytes of a torn record removed"},
  };
  for (const auto& row : rows) EXPECT_EQ(TornUnitText("f", row.bytes, row.unit), row.told) << row.name;
}

TEST(CaptureRepairTest, ATornLastUnitIsCutOffAtOpenAndTheNextRunAppendsAfterTheWholeOnes) {
  for (const Kind& kind : Kinds()) {
    for (std::size_t kept = 0; kept <= kind.last.size(); ++kept) {
      SCOPED_TRACE(std::string(kind.name) + ", " + std::to_string(kept) + " bytes of the last");
      testing::TempFolder folder;
      const auto file = folder.path() / (std::string(kStamp) + kind.extension);
      std::ofstream(file, std::ios::binary) << kind.whole + kind.last.substr(0, kept);
      testing::FakeClock clock;
      testing::FakeStatusLine status;
      CaptureFiles captures;
      captures.CreateCaptureFiles(folder.path(), clock, status);
      kind.write(captures);
      captures.CloseCaptureFiles();

      // Cut back to the whole first of the two, or to nothing.
      const std::size_t stays = kept == kind.last.size() ? kept
                                : kept >= kind.firstUnit ? kind.firstUnit
                                                         : 0;
      EXPECT_EQ(ReadText(file),
                kind.whole + (stays > 0 ? kind.last.substr(0, stays) : kind.regained) + kind.added);
      const std::size_t torn = kept - stays;
      const std::vector<std::string> told =
          torn == 0
              ? std::vector<std::string>{}
              : std::vector<std::string>{TornUnitText(file.filename().string(), torn, UnitOf(kind))};
      EXPECT_EQ(status.texts, told);
    }
  }
}

TEST(CaptureRepairTest, WhatIsNoneOfOursEndsTheFileWhereItStarts) {
  const std::string header = PcapFileHeader();
  std::string otherHeader = header;
  otherHeader[20] = 1;  // another link type
  const struct {
    const char* name;
    const char* extension;
    std::string content;
    std::size_t kept;
  } rows[] = {
      {"kss without a FEND", ".kss", "garbage", 0},
      {"kss ending in a lone FEND", ".kss", Bytes("C0 00 41 C0 C0"), 4},
      {"pcap of another link type", ".pcap", otherHeader + PcapRecord(1, "a"), 0},
      {"pcap record longer than the snapshot", ".pcap",
       header + PcapRecord(1, "a") + PcapRecord(2, "b", 70000), 24 + 17},
      {"pcap record kept and wire lengths differ", ".pcap",
       header + PcapRecord(1, "a") + PcapRecord(2, "bc", 1), 24 + 17},
      {"dump with a bare LF", ".dump", "hi\r\nho\nhu", 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::TempFolder folder;
    const auto file = folder.path() / (std::string(kStamp) + row.extension);
    std::ofstream(file, std::ios::binary) << row.content;
    testing::FakeClock clock;
    testing::FakeStatusLine status;
    CaptureFiles captures;
    captures.CreateCaptureFiles(folder.path(), clock, status);
    captures.CloseCaptureFiles();
    EXPECT_EQ(ReadText(file), row.content.substr(0, row.kept));
  }
}

// A folder that is not there yet, or a name taken by a folder: the file is
// paused as a failed write is, and opened at the first write after the way
// is clear.
TEST(CaptureRepairTest, ACaptureThatCannotBeOpenedIsToldPausedAndTriedAgain) {
  const struct {
    const char* name;
    const char* blocked;                  // what stands in the way, below the temporary folder
    std::vector<std::string> extensions;  // the captures it blocks
  } rows[] = {
      {"missing folder", "later", {".kss", ".dump", ".hex", ".pcap"}},
      {"name taken by a folder", "06122026_0958.kss", {".kss"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    testing::TempFolder temp;
    const bool inFolder = std::string(row.blocked) == "later";
    const auto folder = inFolder ? temp.path() / row.blocked : temp.path();
    if (!inFolder) std::filesystem::create_directory(temp.path() / row.blocked);
    testing::FakeClock clock;
    testing::FakeStatusLine status;
    CaptureFiles captures;
    captures.CreateCaptureFiles(folder, clock, status);
    const auto event = [&](const char* frame) {
      captures.WriteRaw(Hex(frame));
      captures.WritePcapFrame(Hex(frame), kArrival);
      captures.WritePayloadTextLine("A");
      captures.WritePayloadHexLine("41");
      captures.Flush();
    };
    std::vector<std::string> paused, resumed;
    for (const std::string& extension : row.extensions) {
      const std::string name = kStamp + extension;
      paused.push_back("capture paused: " + name + ": " +
                       (inFolder ? "No such file or directory" : "Is a directory"));
      resumed.push_back("capture resumed: " + name);
    }
    EXPECT_EQ(status.texts, paused);
    EXPECT_TRUE(captures.AnyPaused());

    event("C0 00 41 C0");  // still blocked: no second word
    EXPECT_EQ(status.texts, paused);

    status.texts.clear();
    if (inFolder) {
      std::filesystem::create_directory(folder);
    } else {
      std::filesystem::remove(temp.path() / row.blocked);
    }
    event("C0 00 42 C0");
    EXPECT_EQ(status.texts, resumed);
    EXPECT_FALSE(captures.AnyPaused());
    captures.CloseCaptureFiles();
    EXPECT_EQ(ReadText(captures.KssFileName()), Bytes("C0 00 42 C0"));
    EXPECT_EQ(ReadText(captures.PcapFileName()).substr(0, kPcapFileHeaderLength), PcapFileHeader());
  }
}

}  // namespace
}  // namespace vorlink
