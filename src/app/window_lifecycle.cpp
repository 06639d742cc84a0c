#include "app/window_lifecycle.h"

#include <algorithm>
#include <cctype>

#include "app/config_file.h"
#include "app/housekeeping.h"
#include "app/port_line.h"
#include "time/utc.h"
#include "tnc/tnc_script.h"

namespace vorlink {

std::string PortText(const SerialPortComponent& port) {
  std::string text = "COM " + std::to_string(port.CommPort()) + ", " + port.Settings();
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text + " initialized ";
}

void ConfigurePort(SerialPortComponent& port, std::string_view portLine) {
  if (port.PortOpen()) port.SetPortOpen(false);
  const PortLineParts parts = SplitPortLine(portLine);
  // A refused number or setting leaves the port's previous one; the open is
  // still tried with what the port then holds.
  port.SetCommPort(parts.port);
  port.SetSettings(parts.settings);
  port.SetInputLen(0);
  port.SetInputMode(InputMode::Binary);
  port.SetNullDiscard(false);
  port.SetPortOpen(true);
}

void RunStartUp(WindowParts& p) {
  Settings& settings = p.station.settings;
  if (ReadConfigFile(p.station.workingFolder, settings) == ConfigFileStatus::kMissing) {
    p.view.OpenSetupDialogWithFocus();
  }
  ConfigurePort(p.incoming, settings.IncomingPortLine);
  p.pipeline.Reset();
  p.view.SetLabel2(PortText(p.incoming));
  UseDefaultHostIfEmpty(settings);
  p.timeClient.ConnectTimeServer(settings.TimeServerHost);
  ConfigurePort(p.outgoing, settings.OutgoingPortLine);
  p.view.SetLabel8(PortText(p.outgoing));
  p.station.LastPacketTime = UtcNow(p.clock);
  p.mirror.ApplyMirrorFlag();
  p.captures.CreateCaptureFiles(p.station.programFolder, p.clock, p.status);
  SendTncScript(p.station.programFolder, kStartScript, p.incoming, p.status);
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
