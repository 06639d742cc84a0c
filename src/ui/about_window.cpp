#include "ui/about_window.h"

namespace vorlink {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("Form3");
  setWindowTitle("Vorlink");
}

}  // namespace vorlink
