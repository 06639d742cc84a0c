#include <unistd.h>

#include <cstdio>
#include <string_view>
#include <vector>

#include "base/system_clock.h"
#include "connect_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  vorlink::SystemClock clock;
  return vorlink::RunConnectTool(args, STDIN_FILENO, stdout, stderr, clock);
}
