#include "ui/setup_dialog.h"

namespace vorlink {

SetupDialog::SetupDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle(" Setup COM - TNC");
}

std::string SetupDialog::IncomingPortLine() const { return "01,19200,N,8,1"; }
std::string SetupDialog::OutgoingPortLine() const { return "02,19200,N,8,1"; }

}  // namespace vorlink
