#include "tnc/port_mirror.h"

#include "base/text.h"
#include "link/comm_event_text.h"

namespace vorlink {
namespace {
}  // namespace

bool PortMirror::SwitchOn() {
  view_.ShowMirrorIndicators(true);
  return outgoing_.PortOpen() || outgoing_.SetPortOpen(true);
}

void PortMirror::SwitchOff() {
  view_.ShowMirrorIndicators(false);
  if (outgoing_.PortOpen()) outgoing_.SetPortOpen(false);
}

void PortMirror::Toggle() {
  if (outgoingPortLine_.empty()) view_.OpenSetupDialog();
  mirroring_ = !mirroring_;
  view_.ShowMirrorCheck(mirroring_);
  mirrorFlag_ = FlagWord(mirroring_);
  if (mirroring_) {
    if (!SwitchOn()) {
      status_.SetSimpleText(PortProblemText(outgoing_.CommPort(), outgoing_.OpenError()));
    }
  } else {
    SwitchOff();
  }
}

void PortMirror::ApplyMirrorFlag() {
  if (mirrorFlag_ == kFlagTrue) {
    mirroring_ = true;
    view_.ShowMirrorCheck(true);
    // A port that would not open was reported when start-up configured it.
    SwitchOn();
  } else {
    SwitchOff();
  }
}

void PortMirror::OnComm(int commEvent) {
  // Nothing is done with what arrives here, so nothing of it is kept either.
  if (commEvent == kCommEvReceive) {
    outgoing_.DiscardInput();
    return;
  }
  if (const auto text = CommEventText(commEvent)) status_.SetSimpleText(*text);
}

}  // namespace vorlink
