// "Form4": the reception counters as they stood when the window was made.
#pragma once

#include <QWidget>

#include "link/receive_counters.h"

namespace vorlink {

class StatisticsWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsWindow(const ReceiveCounters& counters, QWidget* parent = nullptr);
};

}  // namespace vorlink
