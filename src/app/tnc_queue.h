// The way from KISS clients to the TNC. The port queues what is written and
// sends it as the TNC takes it; a TNC that takes data slowly, or not at all,
// must not let clients pile up memory, so a frame is written only while the
// port's queue holds less than a few seconds at its baud rate, and is refused
// whole otherwise. Each kind of trouble is shown once per stall, not once per
// frame, and every frame is counted. A stall ends once the port's queue has
// emptied with nothing refused for a few seconds: a line that takes bytes in
// bursts empties its queue now and then in the middle of a flood.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "app/kiss_server_figures.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "link/serial_port.h"

namespace vorlink {

inline constexpr int kTncQueueSeconds = 4;
inline constexpr std::size_t kTncQueueMost = std::size_t{256} << 10;

// Why client frames went nowhere while the TNC's queue was full.
inline constexpr std::string_view kTncNotTaking = "frames from KISS clients dropped, TNC not taking data";

// The bound for the port's line settings ("9600,N,8,1"): a few seconds of
// sending, at least one frame of the largest size, at most 256 KiB; the most
// when the settings name no baud rate (a TNC over TCP).
std::size_t TncQueueLimit(std::optional<std::string_view> lineSettings);

// What became of one write: taken whole by the port, refused because the
// port's queue is past the limit, or refused by the port itself.
enum class TncWrite { Taken, Full, Failed };

class TncQueue {
 public:
  TncQueue(SerialPort& tnc, Clock& clock, StatusLine& status, KissServerFigures& figures)
      : tnc_(tnc), clock_(clock), status_(status), figures_(figures) {}

  void SetLimit(std::size_t limit) { limit_ = limit; }
  std::size_t Limit() const { return limit_; }

  // One whole frame of the named client, written in one go or not at all.
  void Send(std::span<const std::uint8_t> frame, std::string_view client);
  // One whole frame of VORLINK's own, the same way; the caller counts and
  // tells, so the KISS clients' figures and texts stay theirs.
  TncWrite Write(std::span<const std::uint8_t> frame);

 private:
  SerialPort& tnc_;
  Clock& clock_;
  StatusLine& status_;
  KissServerFigures& figures_;
  std::size_t limit_ = kTncQueueMost;
  bool stallShown_ = false;
  std::chrono::steady_clock::time_point lastRefused_{};
  bool notSentShown_ = false;  // until a frame is written again
};

}  // namespace vorlink
