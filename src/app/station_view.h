// Everything a station session shows, as one interface for the main window:
// the status line, the received and mirrored figures, the lamps and the UTC
// clock, the mirror menu check and indicators, the port texts, and the setup
// dialog. The core pieces each see only the part they write.
#pragma once

#include <string_view>

#include "app/receive_pipeline.h"
#include "app/status_timer.h"
#include "base/status_line.h"
#include "tnc/port_mirror.h"

namespace vorlink {

class StationView : public StatusLine, public ReceiveView, public StatusView, public MirrorView {
 public:
  // "COM 1, 19200,N,8,1 initialized " or " not available ".
  virtual void ShowIncomingPort(std::string_view text) = 0;
  virtual void ShowMirrorPort(std::string_view text) = 0;
  // Not modal, with the focus; start-up goes on at once.
  virtual void OpenSetupDialogWithFocus() = 0;
  // "--- COM 1 lost at 14:03:12 UTC ---": a grey line of its own in the pane,
  // between the frames.
  virtual void ShowLinkEvent(std::string_view text) = 0;
};

}  // namespace vorlink
