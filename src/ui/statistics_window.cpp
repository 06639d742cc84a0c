#include "ui/statistics_window.h"

namespace vorlink {

StatisticsWindow::StatisticsWindow(const ReceiveCounters&, QWidget* parent) : QWidget(parent) {
  setObjectName("Form4");
  setWindowTitle("Form4");
}

}  // namespace vorlink
