#include "ui/paced_label.h"

namespace vorlink {

void PacedLabel::SetPacedText(const QString& text) {
  if (text == this->text()) return;
  // Held back: updates stay off until the tick.
  if (changedSinceTick_) setUpdatesEnabled(false);
  changedSinceTick_ = true;
  setText(text);
}

void PacedLabel::Tick() {
  if (updatesEnabled()) {
    changedSinceTick_ = false;
    return;
  }
  // Turning updates on repaints the label with its latest text; a change
  // before the next tick waits for it.
  setUpdatesEnabled(true);
}

}  // namespace vorlink
