#include "ui/paced_label.h"

namespace vorlink {

PacedLabel::PacedLabel(QWidget* parent) : QLabel(parent) {
  pause_.setSingleShot(true);
  pause_.setInterval(kPacedLabelMs);
  connect(&pause_, &QTimer::timeout, this, &PacedLabel::EndPause);
}

void PacedLabel::SetPacedText(const QString& text) {
  if (text == this->text()) return;
  // Held back: updates stay off until the pause ends.
  if (pause_.isActive()) setUpdatesEnabled(false);
  setText(text);
  if (!pause_.isActive()) pause_.start();
}

void PacedLabel::EndPause() {
  if (updatesEnabled()) return;
  // Turning updates on repaints the label with its latest text; the next
  // change waits for another pause.
  setUpdatesEnabled(true);
  pause_.start();
}

}  // namespace vorlink
