#include "ui/own_station_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace vorlink {
namespace {

// Up to six letters and digits, and an SSID of 0 to 15.
const QRegularExpression kCallsign("^[A-Za-z0-9]{1,6}(-([0-9]|1[0-5]))?$");

}  // namespace

OwnStationDialog::OwnStationDialog(const OwnStation& station, QWidget* parent) : QDialog(parent) {
  setObjectName("OwnStationDialog");
  setWindowTitle("Station");
  position_ = new QLineEdit(station.position
                                ? QString::fromStdString(OwnPositionText(*station.position))
                                : QString());
  position_->setObjectName("StationPosition");
  position_->setPlaceholderText("49.05833,-72.02917 or FN39xb");
  position_->setClearButtonEnabled(true);
  callsign_ = new QLineEdit(QString::fromStdString(station.callsign));
  callsign_->setObjectName("StationCallsign");
  callsign_->setPlaceholderText("N0CALL-7");
  callsign_->setMaxLength(9);
  problem_ = new QLabel;
  problem_->setObjectName("StationProblem");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* form = new QFormLayout(this);
  form->addRow("Position (LAT,LON or locator)", position_);
  form->addRow("Callsign", callsign_);
  form->addRow(problem_);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &OwnStationDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<OwnStation> OwnStationDialog::Chosen() const {
  OwnStation station;
  const QString position = position_->text().trimmed();
  if (!position.isEmpty()) {
    station.position = ParseOwnPosition(position.toStdString());
    if (!station.position) return std::nullopt;
  }
  const QString callsign = callsign_->text().trimmed().toUpper();
  if (!callsign.isEmpty() && !kCallsign.match(callsign).hasMatch()) return std::nullopt;
  station.callsign = callsign.toStdString();
  return station;
}

void OwnStationDialog::Accept() {
  const std::optional<OwnStation> station = Chosen();
  if (!station) {
    problem_->setText("Position takes LAT,LON in degrees or a Maidenhead locator; "
                      "a callsign is up to six letters and digits and an SSID (-0 to -15)");
    problem_->setWordWrap(true);
    return;
  }
  emit StationChosen(*station);
  accept();
}

}  // namespace vorlink
