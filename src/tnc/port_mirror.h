// Mirroring to the outgoing port: the menu switch, the outgoing port's
// open/closed state that goes with it, the flag saved across runs, and the
// outgoing port's events. The copying itself happens in the receive pipeline.
#pragma once

#include <string>

#include "link/serial_port_component.h"
#include "base/status_line.h"

namespace vorlink {

class MirrorView {
 public:
  virtual ~MirrorView() = default;
  virtual void ShowMirrorCheck(bool checked) = 0;
  // The OUT lamp, label, port text and mirrored figure together.
  virtual void ShowMirrorIndicators(bool visible) = 0;
  // Not modal; the switch goes on at once.
  virtual void OpenSetupDialog() = 0;
};

class PortMirror {
 public:
  PortMirror(bool& mirroring, std::string& mirrorFlag, const std::string& outgoingPortLine,
             SerialPortComponent& outgoing, MirrorView& view, StatusLine& status)
      : mirroring_(mirroring), mirrorFlag_(mirrorFlag), outgoingPortLine_(outgoingPortLine),
        outgoing_(outgoing), view_(view), status_(status) {}

  // A click on the menu entry. An outgoing port that will not open is
  // reported on the status line.
  void Toggle();
  // Start-up: the saved flag's state, without changing the flag.
  void ApplyMirrorFlag();
  // OnComm of the outgoing port: received data is dropped unread; other
  // events give their status texts.
  void OnComm(int commEvent);

 private:
  // False when the port would not open.
  bool SwitchOn();
  void SwitchOff();

  bool& mirroring_;  // the switch the receive pipeline reads
  std::string& mirrorFlag_;
  const std::string& outgoingPortLine_;
  SerialPortComponent& outgoing_;
  MirrorView& view_;
  StatusLine& status_;
};

}  // namespace vorlink
