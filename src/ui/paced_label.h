// A label for a text that may change hundreds of times a second (the byte
// counters, at every chunk read): its text is always the latest, but it
// repaints at most every kPacedLabelMs. A change after a quiet spell shows at
// once; changes during the pause show together at its end.
#pragma once

#include <QLabel>
#include <QTimer>

namespace vorlink {

inline constexpr int kPacedLabelMs = 50;

class PacedLabel final : public QLabel {
 public:
  explicit PacedLabel(QWidget* parent = nullptr);

  void SetPacedText(const QString& text);

 private:
  void EndPause();

  QTimer pause_;
};

}  // namespace vorlink
