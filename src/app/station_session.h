// One load of the main window: the core objects that live from start-up to
// shut-down (the receive pipeline with its captures and frame display, time
// server client, mirror, terminal) over the ports, the clock and the view
// the window hands in. Loading runs the start-up sequence, unloading the shut-down sequence;
// every step is tried whatever happened before. Both are repeatable within one
// process: the setup dialog's OK unloads the window and loads a new one, and
// what the process keeps (settings, counters, last packet time) lives in the
// Station.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/kiss_server.h"
#include "app/link_keeper.h"
#include "app/own_beacons.h"
#include "app/own_sender.h"
#include "app/receive_pipeline.h"
#include "app/station_links.h"
#include "app/station.h"
#include "app/station_view.h"
#include "base/clock.h"
#include "decode/display_options.h"
#include "decode/text_pane.h"
#include "link/serial_port_component.h"
#include "time/tcp_client.h"
#include "time/time_server_client.h"
#include "tnc/port_mirror.h"
#include "tnc/tnc_terminal.h"

namespace vorlink {

// The status text of a start without an incoming port; the setup dialog opens.
inline constexpr std::string_view kNoTncPortChosen = "No TNC port chosen: File > TNC Setup";

struct StationPorts {
  SerialPortComponent& incoming;  // the TNC
  SerialPortComponent& outgoing;  // the mirror
  TcpClient& timeServer;
  // The timers that bring a lost link back; without them it stays lost.
  RetryTimer* incomingRetry = nullptr;
  RetryTimer* outgoingRetry = nullptr;
};

class StationSession {
 public:
  // Without a pane no pane text is made: a view draws the frames from the
  // station's store, which takes every frame either way.
  StationSession(Station& station, Clock& clock, StationPorts ports, TextPane* pane,
                 StationView& view, std::uint16_t timeServerPort = kTimeProtocolPort,
                 FileWriter* captureWriter = nullptr);
  ~StationSession() { Unload(); }
  StationSession(const StationSession&) = delete;
  StationSession& operator=(const StationSession&) = delete;

  // The start-up sequence; once per session.
  void Load();
  // The shut-down sequence; runs once, however often it is asked for.
  void Unload();
  bool IsLoaded() const { return loaded_; }

  // Events of the ports and the once-a-second status timer.
  void OnIncomingPortEvent(int commEvent) { pipeline_.OnComm(commEvent); }
  void OnOutgoingPortEvent(int commEvent) { mirror_.OnComm(commEvent); }
  // A port that went away, and the timers that try it again.
  StationLinks& Links() { return links_; }
  void OnStatusTimer();

  // The menu entry that switches mirroring; the port text follows what the
  // switch made of the port.
  void ToggleMirror();
  // "Clear Counter": the counters back to 0, the received figure and the
  // frames held emptied.
  void ClearCounters();

  TncTerminal& Terminal() { return terminal_; }
  DisplayOptions& Options() { return options_; }
  const CaptureFiles& Captures() const { return pipeline_.Captures(); }
  // The KISS server's core; it gets the frames while the station's choice has it on.
  KissServer& SharedFrames() { return kissServer_; }
  // Everything VORLINK itself transmits, over the KISS server's way to the
  // TNC; it follows the station's settings from Load on, and each status
  // timer tick sends what waited.
  OwnSender& Sender() { return sender_; }
  // The data links, fed every received data frame; none when null.
  void SetAx25Listener(Ax25FrameListener* listener) { pipeline_.SetAx25Listener(listener); }
  // The own beacon and objects, started with each load from the station's
  // settings; the owner keeps the settings and hands changes on here.
  void SetBeacon(const BeaconSettings& beacon, std::optional<GeoPoint> position);
  // False with a reason for the operator (the bound, a name in use).
  bool PlaceObject(const OwnObject& object, std::string* why);
  bool KillObject(std::string_view name);
  std::vector<OwnObject> LiveObjects() const { return beacons_.LiveObjects(); }

 private:
  Station& station_;
  Clock& clock_;
  StationPorts ports_;
  StationView& view_;
  DisplayOptions options_;
  bool mirroring_ = false;
  struct NoPane final : TextPane {
    void AppendColoredText(std::string_view, PaneRole) override {}
  } noPane_;
  ReceivePipeline pipeline_;
  KissServer kissServer_;
  OwnSender sender_;
  OwnBeacons beacons_;
  TimeServerClient timeClient_;
  PortMirror mirror_;
  TncTerminal terminal_;
  struct NoRetry final : RetryTimer {
    void Start(std::chrono::milliseconds) override {}
    void Stop() override {}
  } noRetry_;
  StationLinks links_;
  bool loaded_ = false;
};

}  // namespace vorlink
