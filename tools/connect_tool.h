// vorlink-connect: one AX.25 connected-mode link over a KISS TCP TNC, from
// standard input to the peer and from the peer to standard output. Kept
// apart from main() so tests can run it in-process. At the end of its input
// it disconnects once everything sent is acknowledged and the peer has sent
// nothing for a T1, so that the answer to the last line still comes.
//
// Exit status: 0 the link ended after everything sent was acknowledged (or
// the peer ended it); 1 no link could be made (DM, or N2 connect requests
// unanswered); 2 an established link failed (N2 polls unanswered, or the
// TNC went away); 64 bad input (a bad callsign, more than 8 digipeaters, an
// unreachable host, a wrong option).
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

#include "base/clock.h"

namespace vorlink {

inline constexpr int kConnectDone = 0;
inline constexpr int kConnectNoLink = 1;
inline constexpr int kConnectLinkFailed = 2;
inline constexpr int kConnectBadInput = 64;

// inputFd is read with poll(); out gets the data received, err the news.
int RunConnectTool(std::span<const std::string_view> args, int inputFd, std::FILE* out,
                   std::FILE* err, Clock& clock);

}  // namespace vorlink
