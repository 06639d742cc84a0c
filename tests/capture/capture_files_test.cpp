#include "capture/capture_files.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "fake_clock.h"
#include "fake_status_line.h"
#include "hex.h"
#include "temp_folder.h"

namespace vorlink {
namespace {

using testing::Hex;
using testing::ReadText;
using namespace std::string_literals;

// Each reading is one minute later than the one before.
class SteppingClock final : public Clock {
 public:
  DateTime next{2010, 11, 28, 14, 3, 59, 900};
  DateTime LocalNow() override {
    const DateTime now = next;
    ++next.minute;
    return now;
  }
  int LocalOffsetMinutes() override { return 0; }
  bool SetSystemTime(const SystemTimeFields&) override { return false; }
  std::chrono::steady_clock::time_point MonotonicNow() override { return {}; }
  bool SynchronisedBySystem() override { return false; }
  std::int64_t EarliestPlausibleTime() override { return 0; }
};

// write(2), except to one file while failing is set: refused at once, or
// after writing part of what was asked (as a disk that fills up midway).
class FailingWriter final : public FileWriter {
 public:
  std::filesystem::path target;
  bool failing = false;
  bool shortFirst = false;
  ssize_t Write(int descriptor, std::span<const std::uint8_t> bytes) override {
    if (!failing || std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(descriptor)) !=
                        target) {
      return ::write(descriptor, bytes.data(), bytes.size());
    }
    if (shortFirst && bytes.size() > 1 && !cutShort_) {
      cutShort_ = true;
      return ::write(descriptor, bytes.data(), bytes.size() / 2);
    }
    cutShort_ = false;
    errno = ENOSPC;
    return -1;
  }

 private:
  bool cutShort_ = false;
};

TEST(CaptureFilesTest, NamesFollowTheUtcMinuteOfOneReading) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  clock.local = {2010, 11, 28, 15, 3, 59, 900};
  clock.offsetMinutes = 60;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock, status);
  EXPECT_EQ(captures.KssFileName(), folder.path() / "28112010_1403.kss");
  EXPECT_EQ(captures.DumpFileName(), folder.path() / "28112010_1403.dump");
  EXPECT_EQ(captures.HexFileName(), folder.path() / "28112010_1403.hex");
  for (const auto& name : {captures.KssFileName(), captures.DumpFileName(), captures.HexFileName()}) {
    EXPECT_TRUE(std::filesystem::exists(name));
    EXPECT_EQ(std::filesystem::file_size(name), 0u);
  }

  SteppingClock stepping;
  CaptureFiles set;
  set.CreateCaptureFiles(folder.path(), stepping, status);
  EXPECT_EQ(set.KssFileName().filename(), "28112010_1403.kss");
  EXPECT_EQ(set.DumpFileName().filename(), "28112010_1403.dump");
  EXPECT_EQ(set.HexFileName().filename(), "28112010_1403.hex");
}

TEST(CaptureFilesTest, FlushedWritesReachTheFileAndARestartInTheSameMinuteAppends) {
  testing::TempFolder folder;
  testing::FakeClock clock;
  testing::FakeStatusLine status;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock, status);
  captures.WriteRaw(Hex("C0 09 C0"));
  captures.WriteRaw(Hex("C0 00 41 C0"));
  captures.WritePayloadTextLine("hi");
  captures.WritePayloadHexLine("68 69");
  captures.Flush();
  // Visible before closing: a crash loses nothing that was shown.
  EXPECT_EQ(ReadText(captures.KssFileName()), "\xC0\x09\xC0\xC0\x00\x41\xC0"s);
  EXPECT_EQ(ReadText(captures.DumpFileName()), "hi\r\n");
  EXPECT_EQ(ReadText(captures.HexFileName()), "68 69\r\n");
  captures.CloseCaptureFiles();

  CaptureFiles again;
  again.CreateCaptureFiles(folder.path(), clock, status);
  again.WriteRaw(Hex("C0 00 42 C0"));
  again.WritePayloadTextLine("ho");
  again.CloseCaptureFiles();
  EXPECT_EQ(ReadText(captures.KssFileName()), "\xC0\x09\xC0\xC0\x00\x41\xC0\xC0\x00\x42\xC0"s);
  EXPECT_EQ(ReadText(captures.DumpFileName()), "hi\r\nho\r\n");
  EXPECT_EQ(ReadText(captures.HexFileName()), "68 69\r\n");
  EXPECT_TRUE(status.texts.empty());
}

TEST(CaptureFilesTest, AFailedWriteLeavesWholeFramesPausesAndResumes) {
  for (const bool shortFirst : {false, true}) {
    SCOPED_TRACE(shortFirst ? "short write, then refused" : "refused");
    testing::TempFolder folder;
    testing::FakeClock clock;
    testing::FakeStatusLine status;
    FailingWriter writer;
    writer.shortFirst = shortFirst;
    CaptureFiles captures(&writer);
    captures.CreateCaptureFiles(folder.path(), clock, status);
    writer.target = captures.KssFileName();
    auto event = [&](const char* frame, const char* line) {
      captures.WriteRaw(Hex(frame));
      captures.WriteRaw(Hex(frame));
      captures.WritePayloadTextLine(line);
      captures.Flush();
    };

    event("C0 00 41 C0", "A");
    writer.failing = true;
    event("C0 00 42 42 42 42 C0", "B");
    EXPECT_EQ(status.Current(), "capture paused: 06122026_0958.kss: No space left on device");
    EXPECT_TRUE(captures.AnyPaused());
    event("C0 00 43 C0", "C");  // tried again, still failing: no second report
    EXPECT_EQ(status.texts.size(), 1u);
    EXPECT_EQ(ReadText(captures.KssFileName()), "\xC0\x00\x41\xC0\xC0\x00\x41\xC0"s);

    writer.failing = false;
    event("C0 00 44 C0", "D");
    EXPECT_EQ(status.Current(), "capture resumed: 06122026_0958.kss");
    EXPECT_FALSE(captures.AnyPaused());
    captures.CloseCaptureFiles();
    EXPECT_EQ(ReadText(captures.KssFileName()),
              "\xC0\x00\x41\xC0\xC0\x00\x41\xC0\xC0\x00\x44\xC0\xC0\x00\x44\xC0"s);
    // The other files went on throughout.
    EXPECT_EQ(ReadText(captures.DumpFileName()), "A\r\nB\r\nC\r\nD\r\n");
  }
}

// A real small file system that fills up, where the test may mount one.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& at) : at_(at) {
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=256k") == 0;
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  ~SmallDisk() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
};

TEST(CaptureFilesTest, AFullDiskLeavesWholeFramesAndWritingResumesWhenSpaceReturns) {
  testing::TempFolder folder;
  SmallDisk disk(folder.path());
  if (!disk.mounted()) GTEST_SKIP() << "no tmpfs here: " << std::strerror(errno);
  // Room is made later by removing this.
  const auto filler = folder.path() / "filler";
  std::ofstream(filler, std::ios::binary) << std::string(64 * 1024, 'x');

  testing::FakeClock clock;
  testing::FakeStatusLine status;
  CaptureFiles captures;
  captures.CreateCaptureFiles(folder.path(), clock, status);
  // Frames of 1000 bytes, 7 to an event, numbered in their second byte.
  std::string frames;
  auto event = [&](int first) {
    std::string chunk;
    for (int i = first; i < first + 7; ++i) {
      std::string frame = "\xC0"s + static_cast<char>(i % 256) + std::string(997, 'k') + "\xC0";
      captures.WriteRaw({reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size()});
      chunk += frame;
    }
    captures.WritePayloadTextLine(std::string(100, 'd'));
    captures.Flush();
    if (!captures.AnyPaused()) frames += chunk;
  };
  int next = 0;
  for (; !captures.AnyPaused() && next < 7 * 100; next += 7) event(next);
  ASSERT_TRUE(captures.AnyPaused());
  EXPECT_TRUE(status.Current().starts_with("capture paused: 06122026_0958."));
  EXPECT_EQ(ReadText(captures.KssFileName()), frames);
  EXPECT_EQ(ReadText(captures.DumpFileName()).size() % 102, 0u);

  std::filesystem::remove(filler);
  event(next);
  event(next + 7);
  EXPECT_FALSE(captures.AnyPaused());
  EXPECT_TRUE(status.Current().starts_with("capture resumed: 06122026_0958."));
  captures.CloseCaptureFiles();
  EXPECT_EQ(ReadText(captures.KssFileName()), frames);
}

}  // namespace
}  // namespace vorlink
