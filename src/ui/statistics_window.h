// "Form4": the reception counters as they stood when the window was made.
// The figures are read once, while the window is built; frames that arrive
// later do not change them. A new window shows the new figures.
#pragma once

#include <QWidget>

#include <cstddef>
#include <optional>

#include "app/kiss_server_figures.h"
#include "app/receive_counters.h"

class QPlainTextEdit;

namespace vorlink {

class StatisticsWindow final : public QWidget {
  Q_OBJECT

 public:
  // kissServer: shown while the KISS server is on.
  explicit StatisticsWindow(const ReceiveCounters& counters,
                            std::optional<KissServerFigures> kissServer = std::nullopt,
                            QWidget* parent = nullptr);

  // "RichTextBox1": the figures.
  QPlainTextEdit* Figures() const { return figures_; }
  // 273 x 129, the size it opens with.
  QSize sizeHint() const override;

 private:
  QPlainTextEdit* figures_ = nullptr;
};

}  // namespace vorlink
