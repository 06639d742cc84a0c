// The sample capture and its generator, and vorlink-decode over it: the
// committed files must be exactly what the generator and the tool make now.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "decode_tool.h"
#include "link/deframer.h"
#include "sample_stream.h"
#include "support/fake_clock.h"
#include "support/hex.h"
#include "support/temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ToHex;

const std::string kSamples = VORLINK_SAMPLES_DIR;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  const std::string text = ReadFile(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Every unit the deframer hands on, by kind.
class UnitLog final : public UnitSink {
 public:
  void OnUnit(std::span<const std::uint8_t> frame) override {
    if (frame.size() > 2) {
      frames.emplace_back(frame.begin(), frame.end());
    } else if (frame.size() == 2) {
      ++empty;
    } else {
      ++oneByte;
    }
  }
  void OnEscape(std::uint8_t) override { ++escapes; }

  std::vector<std::vector<std::uint8_t>> frames;
  int empty = 0;
  int oneByte = 0;
  int escapes = 0;
};

UnitLog Deframe(const std::vector<std::uint8_t>& stream) {
  UnitLog log;
  Deframer deframer;
  deframer.Feed(stream, log);
  return log;
}

// --- the generator's building blocks --------------------------------------

TEST(SampleStreamTest, EncodesAddressesControlPidAndInformation) {
  sample::Ax25Frame f;
  f.destination = {"ABC"};
  f.source = {"XYZ", 7};
  f.info = {0x68, 0x69};
  EXPECT_EQ(ToHex(sample::EncodeAx25(f)),
            "82 84 86 40 40 40 E0 B0 B2 B4 40 40 40 6F 03 F0 68 69");
}

TEST(SampleStreamTest, MarksRepeatedDigipeatersAndTheLastAddress) {
  sample::Ax25Frame f;
  f.destination = {"ABC"};
  f.source = {"XYZ", 7};
  f.digipeaters = {{"RELAY", 1, true}, {"WIDE2", 2}};
  f.command = false;
  f.control = sample::SControl(sample::kControlRr, 2, false);
  f.pid.reset();
  EXPECT_EQ(ToHex(sample::EncodeAx25(f)),
            "82 84 86 40 40 40 60 B0 B2 B4 40 40 40 EE "
            "A4 8A 98 82 B2 40 E2 AE 92 88 8A 64 40 65 41");
}

TEST(SampleStreamTest, KissFramingEscapesFendAndFescOnly) {
  std::vector<std::uint8_t> out;
  sample::AppendKissFrame(out, 0x00, Hex("41 C0 DB DC DD"));
  EXPECT_EQ(ToHex(out), "C0 00 41 DB DC DB DD DC DD C0");
}

TEST(SampleStreamTest, Crc16HasTheCheckValueOfItsKind) {
  EXPECT_EQ(sample::Crc16(sample::Bytes("123456789")), 0xBB3D);
}

TEST(SampleStreamTest, SmackFrameEndsInItsCrcLowByteFirst) {
  std::vector<std::uint8_t> out;
  sample::AppendSmackFrame(out, Hex("41 42"));
  const std::uint8_t command[] = {0x80, 0x41, 0x42};
  const std::uint16_t crc = sample::Crc16(command);
  ASSERT_EQ(out.size(), 7u);
  EXPECT_EQ(out[1], 0x80);
  EXPECT_EQ(out[4], crc & 0xFF);
  EXPECT_EQ(out[5], crc >> 8);
  // A frame followed by its own CRC leaves nothing over.
  EXPECT_EQ(sample::Crc16(std::span(out).subspan(1, 5)), 0);
}

TEST(SampleStreamTest, TimeFrameCopiesTheHeaderUpToThePid) {
  std::vector<std::uint8_t> out;
  sample::AppendTimeFrame(out, Hex("C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 69 C0"),
                          "2026-12-06 09:58:20.345");
  std::vector<std::uint8_t> expected =
      Hex("C0 09 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0");
  const auto text = sample::Bytes("asy: 2026-12-06 09:58:20.345 UTC");
  expected.insert(expected.end(), text.begin(), text.end());
  expected.push_back(0xC0);
  EXPECT_EQ(out.size(), 51u);
  EXPECT_EQ(ToHex(out), ToHex(expected));
}

TEST(SampleStreamTest, SameSeedSameStreamOtherSeedOtherStream) {
  const auto a = sample::GenerateStream(500, 1);
  EXPECT_EQ(a, sample::GenerateStream(500, 1));
  EXPECT_NE(a, sample::GenerateStream(500, 2));
}

TEST(SampleStreamTest, StreamHoldsAtLeastTheFramesAskedFor) {
  const UnitLog log = Deframe(sample::GenerateStream(1000, 3));
  // Time frames come on top of the frames they precede.
  EXPECT_GE(log.frames.size(), 1000u);
  EXPECT_LT(log.frames.size(), 1100u);
}

// --- the committed sample capture -------------------------------------------

TEST(SampleCaptureTest, GeneratorReproducesTheCommittedFileByteForByte) {
  const auto committed = ReadBytes(kSamples + "/sample.kss");
  ASSERT_FALSE(committed.empty()) << "samples/sample.kss is missing";
  const auto generated = sample::SampleCapture();
  ASSERT_EQ(generated.size(), committed.size());
  EXPECT_TRUE(generated == committed)
      << "regenerate with: cmake --build build --target vorlink-samples";
}

TEST(SampleCaptureTest, HoldsEveryKindOfUnitWorthSeeing) {
  const auto capture = sample::SampleCapture();
  EXPECT_LT(capture.size(), 64u * 1024u);
  const UnitLog log = Deframe(capture);
  EXPECT_GE(log.frames.size(), 300u);
  EXPECT_GE(log.empty, 1);
  EXPECT_GE(log.oneByte, 6 + 2);  // the TNC's prompt, and strays between frames
  EXPECT_GE(log.escapes, 4);

  std::set<std::uint8_t> commands;
  std::set<int> sourceSsids;
  std::set<int> digipeaterCounts;
  bool repeated = false;
  for (const auto& f : log.frames) {
    commands.insert(f[1]);
    if (f[1] != 0x00 || f.size() < 20) continue;
    sourceSsids.insert(f[15] >> 1 & 0x0F);
    int count = 0;
    for (std::size_t end = 15; end < f.size() && (f[end] & 1) == 0; end += 7) {
      ++count;
      if (end + 7 < f.size() && (f[end + 7] & 0x80) != 0) repeated = true;
    }
    digipeaterCounts.insert(count);
  }
  EXPECT_EQ(commands, (std::set<std::uint8_t>{0x00, 0x09, 0x10, 0x80}));
  EXPECT_EQ(sourceSsids.size(), 16u);
  EXPECT_EQ(digipeaterCounts, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(repeated);
}

// --- vorlink-decode over the sample -----------------------------------------

TEST(SampleCaptureTest, DecodedTextMatchesTheCommittedText) {
  testing::TempFolder folder;
  const auto outPath = folder.path() / "out.txt";
  std::FILE* out = std::fopen(outPath.c_str(), "wb");
  std::FILE* err = std::tmpfile();
  ASSERT_NE(out, nullptr);
  ASSERT_NE(err, nullptr);
  testing::FakeClock clock;
  const std::string file = kSamples + "/sample.kss";
  const std::string_view args[] = {file};
  EXPECT_EQ(RunDecodeTool(args, stdin, out, err, false, clock), 0);
  std::fclose(out);
  std::fclose(err);
  const std::string expected = ReadFile(kSamples + "/sample.txt");
  ASSERT_FALSE(expected.empty()) << "samples/sample.txt is missing";
  EXPECT_TRUE(ReadFile(outPath) == expected)
      << "regenerate with: cmake --build build --target vorlink-samples";
}

// --- the vorlink-decode executable ------------------------------------------

struct ExecutableRun {
  int status;
  std::string out;
  std::string err;
};

ExecutableRun RunDecodeExecutable(const std::string& arguments) {
  testing::TempFolder folder;
  const auto out = folder.path() / "stdout";
  const auto err = folder.path() / "stderr";
  const std::string command = std::string("'") + VORLINK_DECODE_EXE + "' " + arguments + " >'" +
                              out.string() + "' 2>'" + err.string() + "' </dev/null";
  const int raw = std::system(command.c_str());
  const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return {status, ReadFile(out), ReadFile(err)};
}

TEST(DecodeExecutableTest, HelpExitsZeroWithUsage) {
  const ExecutableRun run = RunDecodeExecutable("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: vorlink-decode", 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(DecodeExecutableTest, MissingFileGivesOneLineOnStderrAndFails) {
  const ExecutableRun run = RunDecodeExecutable("/nonexistent/folder/capture.kss");
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.out, "");
  ASSERT_FALSE(run.err.empty());
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.back(), '\n');
  EXPECT_NE(run.err.find("/nonexistent/folder/capture.kss"), std::string::npos) << run.err;
}

TEST(DecodeExecutableTest, PrintsTheSampleAsCommittedWhenNotOnATerminal) {
  const ExecutableRun run = RunDecodeExecutable("'" + kSamples + "/sample.kss'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out == ReadFile(kSamples + "/sample.txt"));
}

}  // namespace
}  // namespace vorlink
