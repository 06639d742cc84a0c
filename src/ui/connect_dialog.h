// Terminal > Connect...: the station to connect to, the digipeaters on the
// way (up to 8) and 2.2 or 2.0. It reads a ConnectRequest and hands it back
// on OK; its owner opens the link and the session window. While nothing can
// be sent (no own callsign, "Transmit" off) it says why, and OK stays off.
#pragma once

#include <QDialog>
#include <string>

#include "app/connect_request.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorlink {

class ConnectDialog final : public QDialog {
  Q_OBJECT

 public:
  // blocker: why nothing can be sent, empty when something can.
  ConnectDialog(const std::string& blocker, bool version22, QWidget* parent = nullptr);

  // What stopped the link after OK (the owner's answer); the dialog stays.
  void ShowProblem(const std::string& problem);

 signals:
  void ConnectChosen(const ConnectRequest& request);

 private:
  void Accept();

  QLineEdit* call_;
  QLineEdit* path_;
  QComboBox* version_;
  QLabel* problem_;
  QPushButton* ok_;
};

}  // namespace vorlink
