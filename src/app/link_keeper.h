// A link that goes away (adapter unplugged, pseudo-terminal closed, TCP peer
// gone) is opened again by itself. The loss is reported at once; then the
// port is tried again on a timer: every second for a serial device, whose
// missing node costs nothing to look for, and with a back-off from 1 s to
// 10 s for a TCP peer, which may be far away. When it opens, the return is
// reported with how long the link was away. A port that was missing from the
// start (the TNC not plugged in yet) is tried the same way, without a loss
// to report, and its arrival is reported as such.
//
// The timer and the clock are handed in: the Qt layer gives a QTimer, the
// tests a fake, so the policy runs without waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "link/serial_port_component.h"

namespace vorlink {

struct RetryPolicy {
  std::chrono::milliseconds first;
  std::chrono::milliseconds longest;  // the back-off doubles up to this
};

inline constexpr RetryPolicy kSerialRetry{std::chrono::seconds(1), std::chrono::seconds(1)};
inline constexpr RetryPolicy kTcpRetry{std::chrono::seconds(1), std::chrono::seconds(10)};

// The wait before try number `attempt` (0 for the first).
std::chrono::milliseconds RetryDelay(const RetryPolicy& policy, int attempt);

// "COM 1 lost at 14:03:12 UTC" and "COM 1 back at 14:03:15 UTC after 3 s".
std::string LinkLostText(std::string_view name, const DateTime& utc);
std::string LinkBackText(std::string_view name, const DateTime& utc, std::int64_t seconds);
// "COM 1 appeared at 14:03:15 UTC".
std::string LinkFoundText(std::string_view name, const DateTime& utc);

// One shot: fires once, the given delay after Start; Start again replaces it.
class RetryTimer {
 public:
  virtual ~RetryTimer() = default;
  virtual void Start(std::chrono::milliseconds delay) = 0;
  virtual void Stop() = 0;
};

class LinkKeeper;

class LinkWatcher {
 public:
  virtual ~LinkWatcher() = default;
  virtual void OnLinkLost(LinkKeeper& keeper, std::string_view text) = 0;
  virtual void OnLinkBack(LinkKeeper& keeper, std::string_view text) = 0;
};

class LinkKeeper {
 public:
  LinkKeeper(SerialPortComponent& port, Clock& clock, RetryTimer& timer, LinkWatcher& watcher)
      : port_(port), clock_(clock), timer_(timer), watcher_(watcher) {}
  LinkKeeper(const LinkKeeper&) = delete;
  LinkKeeper& operator=(const LinkKeeper&) = delete;

  // How the link is named in the texts ("COM 1", "KISS TCP 127.0.0.1:8001")
  // and how often it is tried again.
  void Keep(std::string name, RetryPolicy policy);
  // The port went away: reported once, tries start.
  void OnLost();
  // The port could not be opened at start: tries start, nothing reported.
  void OnMissing();
  // The timer fired: one try to open the port. A port that opens in the
  // background (a TCP peer) answers later with OnConnected or OnConnectFailed;
  // until then no timer runs and a shot on its way tries nothing.
  void OnRetryTimer();
  void OnConnected();
  void OnConnectFailed();
  // No more tries (shut-down, mirroring switched off).
  void Stop();
  // Gone after having been there; a port still missing from the start is not.
  bool IsLost() const { return away_ == Away::kLost; }
  bool IsAway() const { return away_ != Away::kNo; }
  // Tries since the loss; for the tests of the back-off.
  int Attempts() const { return attempt_; }

 private:
  void Back();
  void TryLater();

  SerialPortComponent& port_;
  Clock& clock_;
  RetryTimer& timer_;
  LinkWatcher& watcher_;
  std::string name_;
  RetryPolicy policy_ = kSerialRetry;
  enum class Away { kNo, kLost, kMissing };
  void StartTries(Away away);
  Away away_ = Away::kNo;
  int attempt_ = 0;
  std::chrono::steady_clock::time_point lostSince_{};
};

}  // namespace vorlink
