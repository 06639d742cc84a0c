#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "decode_tool.h"
#include "base/system_clock.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  vorlink::SystemClock clock;
  return vorlink::RunDecodeTool(args, stdin, stdout, stderr, isatty(STDOUT_FILENO) != 0, clock);
}
