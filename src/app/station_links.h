// The two links of one load kept alive: the incoming source (a serial port
// or a KISS-over-TCP peer) and the mirror port, each reopened by its own
// LinkKeeper when it goes away. A loss shows at once (IN lamp red, the label
// with " lost ", a grey line in the pane, the status text); a return shows
// the same way, restarts the deframer and, for a serial TNC, sends the start
// script again: a TNC that lost power comes back in command mode. A serial
// port that did not open at start-up is tried the same way, so a TNC
// plugged in later is picked up.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/link_keeper.h"
#include "app/receive_pipeline.h"
#include "app/station_view.h"
#include "base/clock.h"
#include "link/kiss_tcp_address.h"
#include "link/serial_port_component.h"

namespace vorlink {

// Tool tip of the TNC controls while the incoming side is a KISS-over-TCP peer.
inline constexpr std::string_view kKissTcpTakesFramesOnly =
    "a KISS-over-TCP peer takes KISS frames only: no scripts, commands or terminal keys";

struct LinkContext {
  SerialPortComponent& incoming;
  SerialPortComponent& outgoing;
  RetryTimer& incomingRetry;
  RetryTimer& outgoingRetry;
  Clock& clock;
  StationView& view;
  ReceivePipeline& pipeline;
  const std::filesystem::path& programFolder;  // tnc_init.txt
  const bool& mirroring;
};

class StationLinks final : private LinkWatcher {
 public:
  explicit StationLinks(const LinkContext& c);

  // Start-up: what the incoming side is; for a peer, starts connecting to it
  // and gives what went wrong at once (tries go on by themselves).
  std::optional<std::string> UseIncoming(const std::optional<KissTcpAddress>& kissTcp);
  bool OverKissTcp() const { return kissTcp_.has_value(); }
  std::string IncomingText() const;
  std::string OutgoingText() const;

  // Start-up, after the ports were opened: a serial port with a number that
  // did not open is tried until its device comes; the mirror port only
  // while mirroring.
  void WatchMissingPorts();
  // The same for the mirror port when mirroring is switched on.
  void WatchMirrorPort();

  // DeviceLost of a port, and its retry timer.
  void OnIncomingLost();
  void OnOutgoingLost();
  void OnIncomingRetry() { incomingKeeper_.OnRetryTimer(); }
  // How a connect to the peer that went on in the background ended.
  void OnIncomingConnected();
  void OnIncomingConnectFailed();
  void OnOutgoingRetry();
  // Shut-down: no more tries.
  void Stop();

 private:
  void OnLinkLost(LinkKeeper& keeper, std::string_view text) override;
  void OnLinkBack(LinkKeeper& keeper, std::string_view text) override;
  void ShowLink(LinkKeeper& keeper, std::string_view text);
  void ShowLamps();
  // The peer would not take the start-up's connect: tries go on by themselves.
  std::string PeerNotThere();
  static void WatchIfMissing(SerialPortComponent& port, LinkKeeper& keeper);

  LinkContext c_;
  std::optional<KissTcpAddress> kissTcp_;
  LinkKeeper incomingKeeper_;
  LinkKeeper outgoingKeeper_;
};

}  // namespace vorlink
