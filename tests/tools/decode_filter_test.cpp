// vorlink-decode picking frames (--from, --to, --via, --type, --pid, --grep)
// and listing the stations heard (--heard), in-process.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "decode_run.h"
#include "decode_tool.h"
#include "link/kiss.h"
#include "sample_stream.h"
#include "support/temp_folder.h"

namespace vorlink {
namespace {

using sample::Address;
using sample::Ax25Frame;
using testing::Decode;
using testing::ToolRun;

const std::string kSeparator = std::string(66, '_') + "\n";

// The blocks of the output, each from its empty line to its underscores.
std::vector<std::string> Blocks(const std::string& out) {
  std::vector<std::string> blocks;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find(kSeparator, start)) != std::string::npos;) {
    blocks.push_back(out.substr(start, end + kSeparator.size() - start));
    start = end + kSeparator.size();
  }
  return blocks;
}

class DecodeFilterTest : public ::testing::Test {
 protected:
  void Write(const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // A capture of ordinary traffic, without time frames.
  void WriteTraffic() {
    std::vector<std::uint8_t> stream;
    sample::SampleRandom random(77);
    for (int i = 0; i < 400; ++i) {
      std::vector<std::uint8_t> one;
      sample::AppendRandomFrame(one, random);
      // A frame after its time frame comes in one piece with it: left out.
      if (one.size() > 1 && one[1] == kCommandTime) continue;
      stream.insert(stream.end(), one.begin(), one.end());
    }
    Write(stream);
  }

  testing::TempFolder folder;
  std::string file = (folder.path() / "capture.kss").string();
};

TEST_F(DecodeFilterTest, PrintsOnlyTheBlocksOfMatchingFrames) {
  WriteTraffic();
  const std::vector<std::string> all = Blocks(Decode({file}).out);
  ASSERT_GT(all.size(), 300u);
  const auto has = [](std::string_view text) {
    return [text](const std::string& block) { return block.find(text) != std::string::npos; };
  };
  struct Case {
    std::vector<std::string> args;
    std::function<bool(const std::string&)> picks;
  };
  const Case cases[] = {
      {{"--from", "N0CALL-1?"}, [](const std::string& b) {
         const std::size_t at = b.find("\nfrom N0CALL-1");
         return at != std::string::npos && std::isdigit(static_cast<unsigned char>(b[at + 14]));
       }},
      {{"--to=APZVLK"}, has(" to APZVLK")},
      {{"--via", "relay"}, [](const std::string& b) {
         return b.find(" via RELAY") != std::string::npos || b.find(",RELAY") != std::string::npos;
       }},
      {{"--type", "s"}, [](const std::string& b) {
         for (const char* s : {"{RR", "{RNR", "{REJ", "{SREJ"}) {
           if (b.find(s) != std::string::npos) return true;
         }
         return false;
       }},
      {{"--pid", "CC"}, has("PID: CC ")},
      {{"--grep", "ON THE AIR"}, [](std::string b) {
         for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         return b.find("on the air") != std::string::npos;
       }},
      {{"--type", "UI", "--from", "TEST*"}, [](const std::string& b) {
         return b.find("{UI") != std::string::npos && b.find("\nfrom TEST") != std::string::npos;
       }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(file);
    const ToolRun run = Decode(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> expected;
    for (const std::string& block : all) {
      if (c.picks(block)) expected.push_back(block);
    }
    EXPECT_FALSE(expected.empty()) << c.args[0];
    EXPECT_EQ(Blocks(run.out), expected) << c.args[0];
  }
}

TEST_F(DecodeFilterTest, HeardListsStationsWithTheTimesOfTheirTimeFrames) {
  const Address aprs{"APZ001"};
  const Ax25Frame direct{aprs, {"N0CALL", 7}, {{"WIDE1", 1}}, true, sample::kControlUi, 0xF0,
                         sample::Bytes(">direct")};
  const Ax25Frame relayed{aprs, {"N0CALL", 7}, {{"RELAY", 0, true}}, true, sample::kControlUi,
                          0xF0, sample::Bytes(">relayed")};
  const Ax25Frame other{aprs, {"TEST"}, {}, true, sample::kControlUi, 0xF0, sample::Bytes(">x")};
  std::vector<std::uint8_t> stream;
  const auto timed = [&](const Ax25Frame& f, std::string_view stamp) {
    std::vector<std::uint8_t> kiss;
    sample::AppendKissFrame(kiss, kCommandData, sample::EncodeAx25(f));
    sample::AppendTimeFrame(stream, kiss, stamp);
    stream.insert(stream.end(), kiss.begin(), kiss.end());
  };
  timed(direct, "2026-03-14 07:12:00.345");
  timed(relayed, "2026-03-14 08:00:59.999");
  sample::AppendKissFrame(stream, kCommandData, sample::EncodeAx25(other));
  timed(other, "2026-03-14 09:30:00.000");
  sample::AppendKissFrame(stream, kCommandData, sample::EncodeAx25(direct));
  sample::AppendKissFrame(stream, kCommandData, sample::EncodeAx25({aprs, {"ZULU"}, {}, true,
                                                                    sample::kControlUi, 0xF0, {}}));
  Write(stream);
  const ToolRun run = Decode({"--heard", file});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "callsign frames first-heard last-heard direct via\n"
            "N0CALL-7 3 2026-03-14 07:12:00 2026-03-14 08:00:59 2 1\n"
            "TEST 2 2026-03-14 09:30:00 2026-03-14 09:30:00 2 0\n"
            "ZULU 1 - - 1 0\n");

  // The same time frames stamp the frames printed with --timestamps.
  const ToolRun stamped = Decode({"--timestamps", "--from", "N0CALL-7", file});
  const std::vector<std::string> blocks = Blocks(stamped.out);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].substr(0, 31), "\n2026-03-14 07:12:00.345 UTC: [");
  EXPECT_EQ(blocks[1].substr(0, 31), "\n2026-03-14 08:00:59.999 UTC: [");
  EXPECT_EQ(blocks[2].substr(0, 2), "\n[");
  // Without a filter option the time frames are shown as frames, as always.
  EXPECT_NE(Decode({file}).out.find("TIME Frame"), std::string::npos);
  EXPECT_EQ(Decode({"--from", "*", file}).out.find("TIME Frame"), std::string::npos);
}

TEST_F(DecodeFilterTest, BadValuesAreUsageErrors) {
  WriteTraffic();
  const std::vector<std::vector<std::string>> cases = {
      {"--type", "X", file}, {"--pid", "1FF", file}, {"--pid", "zz", file}, {file, "--from"}};
  for (const auto& args : cases) {
    const ToolRun run = Decode(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("vorlink-decode: ", 0), 0u) << run.err;
  }
}

}  // namespace
}  // namespace vorlink
