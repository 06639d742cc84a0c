// vorlink-message: one APRS message sent over KISS TCP with the message
// center's schedule until it is acked, rejected or given up; or, with
// --listen, the messages to the own callsign printed and acked.
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

#include "base/clock.h"

namespace vorlink {

// Exit statuses.
inline constexpr int kMessageAcked = 0;
inline constexpr int kMessageRejected = 1;
inline constexpr int kMessageNoAck = 2;
inline constexpr int kMessageBadInput = 64;

// Waits on the socket, times with the clock.
int RunMessageTool(std::span<const std::string_view> args, std::FILE* out, std::FILE* err,
                   Clock& clock);

}  // namespace vorlink
