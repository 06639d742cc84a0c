#include "app/window_lifecycle.h"

#include <algorithm>
#include <cctype>

#include "app/config_file.h"
#include "app/housekeeping.h"
#include "app/port_line.h"
#include "base/text.h"
#include "base/utc.h"
#include "link/comm_event_text.h"
#include "tnc/tnc_script.h"

namespace vorlink {

std::string PortText(const SerialPortComponent& port) {
  const std::string text = UpperCase("COM " + std::to_string(port.CommPort()) + ", " + port.Settings());
  return text + (port.PortOpen() ? " initialized " : " not available ");
}

std::vector<std::string> ConfigurePort(SerialPortComponent& port, std::string_view portLine,
                                       int lineNumber) {
  std::vector<std::string> problems;
  if (const auto fault = FindPortLineFault(portLine)) {
    problems.push_back(std::string(kConfigFileName) + " line " + std::to_string(lineNumber) + ": " +
                       DescribePortLineFault(*fault));
  }
  if (port.PortOpen()) port.SetPortOpen(false);
  const PortLineParts parts = SplitPortLine(portLine);
  // A refused number or setting leaves the port's previous one; the open is
  // still tried with what the port then holds.
  port.SetCommPort(parts.port);
  port.SetSettings(parts.settings);
  if (!port.SetPortOpen(true)) {
    problems.push_back(PortProblemText(port.CommPort(), port.OpenError()));
  }
  return problems;
}

void RunStartUp(WindowParts& p) {
  Settings& settings = p.station.settings;
  if (ReadConfigFile(p.station.workingFolder, settings) == ConfigFileStatus::kMissing) {
    p.view.OpenSetupDialogWithFocus();
  }
  const auto incomingProblems =
      ConfigurePort(p.incoming, settings.IncomingPortLine, kIncomingPortLineNumber);
  p.pipeline.Reset();
  p.view.SetLabel2(PortText(p.incoming));
  UseDefaultHostIfEmpty(settings);
  p.timeClient.ConnectTimeServer(settings.TimeServerHost);
  const auto outgoingProblems =
      ConfigurePort(p.outgoing, settings.OutgoingPortLine, kOutgoingPortLineNumber);
  p.view.SetLabel8(PortText(p.outgoing));
  p.station.LastPacketTime = UtcNow(p.clock);
  p.mirror.ApplyMirrorFlag();
  p.captures.CreateCaptureFiles(p.station.programFolder, p.clock, p.status);
  SendTncScript(p.station.programFolder, kStartScript, p.incoming, p.status);
  // Shown last, or the start-up's own texts would cover them before anyone
  // could read one; the TNC's port last of all, as the one that matters most.
  for (const auto* problems : {&outgoingProblems, &incomingProblems}) {
    for (const std::string& problem : *problems) p.status.SetSimpleText(problem);
  }
}

void RunShutDown(WindowParts& p) {
  p.captures.CloseCaptureFiles();
  // The working folder as the housekeeping always cleaned it, and the program
  // folder too, where the captures are made.
  DeleteEmptyFiles({p.station.workingFolder, p.station.programFolder});
  SendTncScript(p.station.programFolder, kExitScript, p.incoming, p.status);
  if (p.incoming.PortOpen()) p.incoming.SetPortOpen(false);
  if (p.outgoing.PortOpen()) p.outgoing.SetPortOpen(false);
  WriteConfigFile(p.station.workingFolder, p.station.settings);
}

}  // namespace vorlink
