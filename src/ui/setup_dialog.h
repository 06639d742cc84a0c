// " Setup COM - TNC": the two serial ports and their line settings. OK hands
// the two port lines to whoever opened the dialog; the dialog itself saves
// and applies nothing.
#pragma once

#include <QDialog>
#include <string>

namespace vorlink {

class SetupDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit SetupDialog(QWidget* parent = nullptr);

  // The port lines as OK builds them from the boxes ("01,19200,N,8,1").
  std::string IncomingPortLine() const;
  std::string OutgoingPortLine() const;

 signals:
  void PortLinesChosen(const std::string& incoming, const std::string& outgoing);
};

}  // namespace vorlink
