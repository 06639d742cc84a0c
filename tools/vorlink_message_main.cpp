#include <csignal>
#include <cstdio>
#include <string_view>
#include <vector>

#include "base/system_clock.h"
#include "message_tool.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string_view> args(argv + 1, argv + argc);
  vorlink::SystemClock clock;
  return vorlink::RunMessageTool(args, stdout, stderr, clock);
}
