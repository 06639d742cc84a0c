// A label for a text that may change hundreds of times a second (the byte
// counters, at every chunk read): its text is always the latest, but it
// repaints at most once a tick of a display clock, the frame pane's, and so
// in the same repaint of the window as the pane. A change after a quiet tick
// shows at once; later changes show together at the next tick.
#pragma once

#include <QLabel>

namespace vorlink {

class PacedLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  void SetPacedText(const QString& text);
  void Tick();

 private:
  bool changedSinceTick_ = false;
};

}  // namespace vorlink
