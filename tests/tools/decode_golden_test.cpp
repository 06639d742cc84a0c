// vorlink-decode's text, compared whole with the text it gave before: the
// sample capture and the fuzzer's seeds, in every output mode. Run with
// VORLINK_WRITE_GOLDEN=1 to write the files in tests/tools/golden anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "decode_run.h"
#include "support/temp_folder.h"

namespace vorlink {
namespace {

const std::filesystem::path kGolden = VORLINK_GOLDEN_DIR;

struct GoldenCase {
  const char* name;
  std::vector<std::string> args;
  bool withSample;  // the plain text of the sample is samples/sample.txt already
};

std::vector<std::filesystem::path> Inputs(bool withSample) {
  std::vector<std::filesystem::path> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(VORLINK_CORPUS_DIR)) {
    inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  if (withSample) inputs.insert(inputs.begin(), std::filesystem::path(VORLINK_SAMPLES_DIR) / "sample.kss");
  return inputs;
}

// Every input's text behind a line naming it; a failed run shows in it too.
std::string TextOf(const GoldenCase& c) {
  std::string text;
  for (const auto& input : Inputs(c.withSample)) {
    std::vector<std::string> args = c.args;
    args.push_back(input.string());
    const testing::ToolRun run = testing::Decode(args);
    text += "== " + input.filename().string() + " ==\n" + run.out;
    if (run.status != 0 || !run.err.empty()) {
      text += "-- status " + std::to_string(run.status) + ": " + run.err;
    }
  }
  return text;
}

class DecodeGoldenTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(DecodeGoldenTest, TextIsUnchanged) {
  const GoldenCase& c = GetParam();
  const auto file = kGolden / (std::string(c.name) + ".txt");
  const std::string text = TextOf(c);
  if (std::getenv("VORLINK_WRITE_GOLDEN") != nullptr) {
    std::ofstream(file, std::ios::binary) << text;
    GTEST_SKIP() << "wrote " << file;
  }
  const std::string expected = testing::ReadText(file);
  ASSERT_FALSE(expected.empty()) << file << " is missing";
  // Whole-text comparison; the first differing line is what a reader needs.
  if (text != expected) {
    const auto [a, b] = std::mismatch(text.begin(), text.end(), expected.begin(), expected.end());
    const auto line = std::count(text.begin(), a, '\n') + 1;
    ADD_FAILURE() << c.name << ": differs from " << file << " at line " << line;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DecodeGoldenTest,
    ::testing::Values(GoldenCase{"decoded", {"--color=never"}, false},
                      GoldenCase{"decoded-timestamps-colour", {"--timestamps", "--color=always"}, false},
                      GoldenCase{"raw-timestamps-colour", {"--raw", "--timestamps", "--color=always"}, true},
                      GoldenCase{"picked-colour", {"--type=S", "--color=always"}, true},
                      GoldenCase{"picked-raw", {"--via=WIDE*", "--raw"}, true},
                      GoldenCase{"heard", {"--heard"}, true},
                      GoldenCase{"stats", {"--stats", "--color=always"}, true}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
      std::string name = info.param.name;
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

}  // namespace
}  // namespace vorlink
