// vorlink-decode run in-process with its output and errors caught.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "decode_tool.h"
#include "support/fake_clock.h"

namespace vorlink::testing {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

// Reads a temporary file from its start, and closes it.
inline std::string ReadAll(std::FILE* f) {
  std::rewind(f);
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// With a given output (a full device, say) the text it took is not read back.
inline ToolRun Decode(std::vector<std::string> args, std::FILE* given = nullptr) {
  std::vector<std::string_view> views(args.begin(), args.end());
  std::FILE* out = given != nullptr ? given : std::tmpfile();
  std::FILE* err = std::tmpfile();
  FakeClock clock;
  const int status = RunDecodeTool(views, stdin, out, err, false, clock);
  return {status, given != nullptr ? std::string() : ReadAll(out), ReadAll(err)};
}

}  // namespace vorlink::testing
