#include "app/station_session.h"

#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/housekeeping.h"
#include "app/port_configuration.h"
#include "app/port_line.h"
#include "app/status_timer.h"
#include "base/text.h"
#include "base/utc.h"
#include "tnc/tnc_script.h"

namespace vorlink {

StationSession::StationSession(Station& station, Clock& clock, StationPorts ports, TextPane* pane,
                               StationView& view, std::uint16_t timeServerPort,
                               FileWriter* captureWriter)
    : station_(station),
      clock_(clock),
      ports_(ports),
      view_(view),
      pipeline_(ReceiveContext{pane ? *pane : noPane_, clock, options_, mirroring_, ports.incoming,
                               ports.outgoing, station.counters, station.LastPacketTime, view, view,
                               captureWriter}),
      kissServer_(view, ports.incoming, clock, station.kissServerFigures,
                  station.config.kissServerLimits),
      sender_(OwnSenderContext{kissServer_.TncWay(), clock, station.frames, station.messages, view,
                               options_}),
      timeClient_(ports.timeServer, clock, view, timeServerPort),
      mirror_(mirroring_, station.settings.MirrorFlag, station.settings.OutgoingPortLine,
              ports.outgoing, view, view),
      terminal_(station.programFolder, ports.incoming, view),
      links_(LinkContext{ports.incoming, ports.outgoing,
                         ports.incomingRetry ? *ports.incomingRetry : noRetry_,
                         ports.outgoingRetry ? *ports.outgoingRetry : noRetry_, clock, view,
                         pipeline_, station_.programFolder, mirroring_}) {
  pipeline_.Display().SetFrameSink(&station.frames);
  if (pane == nullptr) pipeline_.Display().SetPane(nullptr);
}

void StationSession::Load() {
  if (loaded_) return;
  loaded_ = true;
  Settings& settings = station_.settings;
  std::vector<std::string> settingsProblems;
  std::string problem;
  const ConfigFileStatus read = ReadConfigFile(station_.workingFolder, settings, &problem);
  if (read == ConfigFileStatus::kUnreadable) settingsProblems.push_back(problem);
  const auto kissTcp = station_.KissTcp();
  // Without a TNC port nothing can work; the way out is shown, not left to be found.
  const bool noTncPort = !kissTcp && SplitPortLine(settings.IncomingPortLine).port == 0;
  if (read == ConfigFileStatus::kMissing || noTncPort) view_.OpenSetupDialogWithFocus();
  if (auto more = MoreSettingsProblem(station_.workingFolder); !more.empty()) {
    settingsProblems.push_back(std::move(more));
  }
  std::vector<std::string> incomingProblems;
  if (kissTcp) {
    if (auto problem = links_.UseIncoming(kissTcp)) incomingProblems.push_back(*problem);
  } else {
    incomingProblems =
        ConfigurePort(ports_.incoming, settings.IncomingPortLine, kIncomingPortLineNumber);
  }
  if (noTncPort) {
    // In place of the failed open of port 0, which says nothing useful.
    if (!ports_.incoming.PortOpen() && !incomingProblems.empty()) incomingProblems.pop_back();
    incomingProblems.emplace_back(kNoTncPortChosen);
  }
  pipeline_.Reset();
  const KissServerChoice sharing = station_.KissServerSetting();
  kissServer_.SetClientsTransmit(sharing.clientsTransmit);
  kissServer_.SetTncQueueLimit(links_.OverKissTcp() ? TncQueueLimit(std::nullopt)
                                                    : TncQueueLimit(ports_.incoming.Settings()));
  pipeline_.SetSharedSink(sharing.on ? &kissServer_ : nullptr);
  sender_.SetStation(station_.config.station);
  SetBeacon(station_.config.beacon, station_.config.station.position);
  for (const OwnObject& object : station_.config.objects) beacons_.Place(object, clock_.MonotonicNow());
  beacons_.Start(clock_.MonotonicNow());
  view_.ShowIncomingPort(links_.IncomingText());
  UseDefaultHostIfEmpty(settings);
  timeClient_.ConnectTimeServer(settings.TimeServerHost);
  auto outgoingProblems =
      ConfigurePort(ports_.outgoing, settings.OutgoingPortLine, kOutgoingPortLineNumber);
  // A mirror port nobody uses is no trouble: the switch tells its failure when it is used.
  if (!ports_.outgoing.PortOpen() && settings.MirrorFlag != kFlagTrue &&
      !outgoingProblems.empty()) {
    outgoingProblems.pop_back();
  }
  view_.ShowMirrorPort(PortText(ports_.outgoing));
  station_.LastPacketTime = UtcNow(clock_);
  mirror_.ApplyMirrorFlag();
  links_.WatchMissingPorts();
  pipeline_.Captures().CreateCaptureFiles(station_.programFolder, clock_, view_);
  // A KISS-over-TCP peer takes frames only.
  if (!links_.OverKissTcp()) {
    SendTncScript(station_.programFolder, kStartScript, ports_.incoming, view_);
  }
  // Shown last, or the start-up's own texts would cover them before anyone
  // could read one; the TNC's port last of all, as the one that matters most.
  for (const auto* problems : {&settingsProblems, &outgoingProblems, &incomingProblems}) {
    for (const std::string& problem : *problems) view_.SetSimpleText(problem);
  }
}

void StationSession::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  pipeline_.Captures().CloseCaptureFiles();
  // The working folder as the housekeeping always cleaned it, and the program
  // folder too, where the captures are made.
  DeleteEmptyFiles({station_.workingFolder, station_.programFolder});
  links_.Stop();
  if (!links_.OverKissTcp()) {
    SendTncScript(station_.programFolder, kExitScript, ports_.incoming, view_);
  }
  if (ports_.incoming.PortOpen()) ports_.incoming.SetPortOpen(false);
  if (ports_.outgoing.PortOpen()) ports_.outgoing.SetPortOpen(false);
  WriteConfigFile(station_.workingFolder, station_.settings);
}

void StationSession::ToggleMirror() {
  mirror_.Toggle();
  links_.WatchMirrorPort();
  view_.ShowMirrorPort(links_.OutgoingText());
}

void StationSession::SetBeacon(const BeaconSettings& beacon, std::optional<GeoPoint> position) {
  beacons_.SetBeacon(beacon);
  beacons_.SetPosition(position);
}

bool StationSession::PlaceObject(const OwnObject& object, std::string* why) {
  if (beacons_.Place(object, clock_.MonotonicNow())) return true;
  if (why) {
    *why = "Object " + object.name + " not placed: at most " + std::to_string(kMostObjects) +
           " objects, and a killed one's name is free only once it has gone";
  }
  return false;
}

bool StationSession::KillObject(std::string_view name) {
  return beacons_.Kill(name, clock_.MonotonicNow());
}

void StationSession::OnStatusTimer() {
  beacons_.Tick(clock_.MonotonicNow(), UtcNow(clock_),
                [this](const std::string& info) { sender_.SendAprs(info); });
  sender_.Poll();
  StatusUpdateTick(station_.statusUpdate, station_.LastPacketTime, clock_,
                   {ports_.incoming.PortOpen(), ports_.outgoing.PortOpen(), mirroring_,
                    pipeline_.Captures().AnyPaused()},
                   view_, view_);
}

void StationSession::ClearCounters() {
  station_.counters.Clear();
  station_.kissServerFigures.ClearCounts();
  station_.frames.Clear();
  view_.ShowReceived("");
}

}  // namespace vorlink
