#include "app/station_links.h"

#include "app/port_configuration.h"
#include "app/status_timer.h"
#include "tnc/tnc_script.h"

namespace vorlink {
namespace {

std::string PaneLine(std::string_view text) { return "--- " + std::string(text) + " ---"; }

}  // namespace

StationLinks::StationLinks(const LinkContext& c)
    : c_(c),
      incomingKeeper_(c.incoming, c.clock, c.incomingRetry, *this),
      outgoingKeeper_(c.outgoing, c.clock, c.outgoingRetry, *this) {}

std::optional<std::string> StationLinks::UseIncoming(const std::optional<KissTcpAddress>& kissTcp) {
  kissTcp_ = kissTcp;
  if (!kissTcp_) return std::nullopt;
  incomingKeeper_.Keep(KissTcpName(*kissTcp_), kTcpRetry);
  if (c_.incoming.PortOpen()) c_.incoming.SetPortOpen(false);
  if (c_.incoming.SetPortOpen(true) || c_.incoming.Opening()) return std::nullopt;
  return PeerNotThere();
}

std::string StationLinks::PeerNotThere() {
  std::string problem = KissTcpName(*kissTcp_) + ": " + c_.incoming.OpenError();
  // A software TNC started after the program is found when it comes.
  incomingKeeper_.OnLost();
  return problem;
}

void StationLinks::OnIncomingConnected() {
  if (incomingKeeper_.IsLost()) {
    incomingKeeper_.OnConnected();
    return;
  }
  // The start-up's connect: the link was never lost, only not there yet.
  c_.view.ShowIncomingPort(IncomingText());
  ShowLamps();
}

void StationLinks::OnIncomingConnectFailed() {
  if (incomingKeeper_.IsLost()) {
    incomingKeeper_.OnConnectFailed();
  } else if (kissTcp_) {
    c_.view.SetSimpleText(PeerNotThere());
  }
}

std::string StationLinks::IncomingText() const {
  if (kissTcp_) return KissTcpText(*kissTcp_, c_.incoming.PortOpen(), incomingKeeper_.IsLost());
  return PortText(c_.incoming, incomingKeeper_.IsLost());
}

std::string StationLinks::OutgoingText() const {
  return PortText(c_.outgoing, outgoingKeeper_.IsLost());
}

void StationLinks::WatchIfMissing(SerialPortComponent& port, LinkKeeper& keeper) {
  // Port 0 names no device to wait for.
  if (port.PortOpen() || port.CommPort() <= 0) return;
  keeper.Keep(PortName(port), kSerialRetry);
  keeper.OnMissing();
}

void StationLinks::WatchMissingPorts() {
  if (!kissTcp_) WatchIfMissing(c_.incoming, incomingKeeper_);
  WatchMirrorPort();
}

void StationLinks::WatchMirrorPort() {
  if (c_.mirroring) WatchIfMissing(c_.outgoing, outgoingKeeper_);
}

void StationLinks::OnIncomingLost() {
  if (!kissTcp_) incomingKeeper_.Keep(PortName(c_.incoming), kSerialRetry);
  incomingKeeper_.OnLost();
}

void StationLinks::OnOutgoingLost() {
  // A mirror switched off is closed on purpose; nothing to bring back.
  if (!c_.mirroring) return;
  outgoingKeeper_.Keep(PortName(c_.outgoing), kSerialRetry);
  outgoingKeeper_.OnLost();
}

void StationLinks::OnOutgoingRetry() {
  if (c_.mirroring) {
    outgoingKeeper_.OnRetryTimer();
  } else {
    outgoingKeeper_.Stop();
    c_.view.ShowMirrorPort(OutgoingText());
  }
}

void StationLinks::Stop() {
  incomingKeeper_.Stop();
  outgoingKeeper_.Stop();
}

void StationLinks::OnLinkLost(LinkKeeper& keeper, std::string_view text) { ShowLink(keeper, text); }

void StationLinks::OnLinkBack(LinkKeeper& keeper, std::string_view text) {
  if (&keeper == &incomingKeeper_) {
    // Half a frame from before the loss must not swallow the first one after it.
    c_.pipeline.Reset();
    if (!kissTcp_) SendTncScript(c_.programFolder, kStartScript, c_.incoming, c_.view);
  }
  ShowLink(keeper, text);
}

void StationLinks::ShowLink(LinkKeeper& keeper, std::string_view text) {
  if (&keeper == &incomingKeeper_) {
    c_.view.ShowIncomingPort(IncomingText());
  } else {
    c_.view.ShowMirrorPort(OutgoingText());
  }
  ShowLamps();
  c_.view.ShowLinkEvent(PaneLine(text));
  c_.view.SetSimpleText(text);
}

void StationLinks::ShowLamps() {
  c_.view.ShowLamps(Lamps({c_.incoming.PortOpen(), c_.outgoing.PortOpen(), c_.mirroring, false}));
}

}  // namespace vorlink
