#include "ui/own_station_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "aprs/beacon_text.h"
#include "aprs/station_call.h"
#include "ui/symbol_choice.h"

namespace vorlink {
namespace {

constexpr int kMaxPathCharacters = 8 * 10;

bool UsableCallsign(const QString& text) {
  return ParseStationCallsign(text.toStdString()).has_value();
}

bool UsablePath(const QString& text) { return ParsePath(text.toStdString()).has_value(); }

}  // namespace

OwnStationDialog::OwnStationDialog(const OwnStation& station, const BeaconSettings& beacon,
                                   QWidget* parent)
    : QDialog(parent) {
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
  transmit_ = new QCheckBox("Transmit");
  transmit_->setObjectName("StationTransmit");
  transmit_->setChecked(station.transmit);
  transmit_->setToolTip("VORLINK sends its own frames only while this is on");
  path_ = new QLineEdit(QString::fromStdString(station.path));
  path_->setObjectName("StationPath");
  path_->setPlaceholderText("WIDE1-1,WIDE2-1 (empty: direct)");
  path_->setMaxLength(kMaxPathCharacters);
  transmitState_ = new QLabel;
  transmitState_->setObjectName("StationTransmitState");
  transmitState_->setWordWrap(true);
  beaconOn_ = new QCheckBox("Beacon");
  beaconOn_->setObjectName("BeaconOn");
  beaconOn_->setChecked(beacon.enabled);
  beaconOn_->setToolTip("the own position, 10 s after the port opens, then at the interval");
  beaconSymbol_ = new QComboBox;
  beaconSymbol_->setObjectName("BeaconSymbol");
  FillSymbolChoice(*beaconSymbol_, beacon.symbol);
  beaconComment_ = new QLineEdit(QString::fromStdString(beacon.comment));
  beaconComment_->setObjectName("BeaconComment");
  beaconComment_->setMaxLength(static_cast<int>(kMaxBeaconComment));
  beaconInterval_ = new QSpinBox;
  beaconInterval_->setObjectName("BeaconInterval");
  beaconInterval_->setRange(kLeastBeaconMinutes, kMostBeaconMinutes);
  beaconInterval_->setSuffix(" min");
  beaconInterval_->setValue(UsableBeaconMinutes(beacon.intervalMinutes));
  beaconCompressed_ = new QCheckBox("Compressed");
  beaconCompressed_->setObjectName("BeaconCompressed");
  beaconCompressed_->setChecked(beacon.compressed);
  problem_ = new QLabel;
  problem_->setObjectName("StationProblem");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* form = new QFormLayout(this);
  form->addRow("Position (LAT,LON or locator)", position_);
  auto* callsignRow = new QHBoxLayout;
  callsignRow->addWidget(callsign_);
  callsignRow->addWidget(transmit_);
  form->addRow("Callsign", callsignRow);
  form->addRow("Path", path_);
  form->addRow(transmitState_);
  auto* beaconRow = new QHBoxLayout;
  beaconRow->addWidget(beaconOn_);
  beaconRow->addWidget(beaconCompressed_);
  form->addRow(beaconRow);
  form->addRow("Symbol", beaconSymbol_);
  form->addRow("Comment", beaconComment_);
  form->addRow("Every", beaconInterval_);
  form->addRow(problem_);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &OwnStationDialog::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(callsign_, &QLineEdit::textChanged, this, &OwnStationDialog::ShowTransmitState);
  connect(path_, &QLineEdit::textChanged, this, &OwnStationDialog::ShowTransmitState);
  connect(transmit_, &QCheckBox::toggled, this, &OwnStationDialog::ShowTransmitState);
  connect(beaconOn_, &QCheckBox::toggled, this, &OwnStationDialog::ShowTransmitState);
  connect(position_, &QLineEdit::textChanged, this, &OwnStationDialog::ShowTransmitState);
  ShowTransmitState();
}

void OwnStationDialog::ShowTransmitState() {
  QString why;
  if (beaconOn_ && beaconOn_->isChecked() && !ParseOwnPosition(position_->text().toStdString())) {
    why = "No beacon goes without a position.";
  }
  if (!transmit_->isChecked()) {
    why = "Nothing is sent while Transmit is off.";
  } else if (!UsableCallsign(callsign_->text())) {
    why = "Nothing is sent without a valid callsign.";
  } else if (!UsablePath(path_->text())) {
    why = "Nothing is sent while the path is not valid.";
  }
  transmitState_->setText(why);
  transmitState_->setToolTip(why);
}

std::optional<OwnStation> OwnStationDialog::Chosen() const {
  OwnStation station;
  const QString position = position_->text().trimmed();
  if (!position.isEmpty()) {
    station.position = ParseOwnPosition(position.toStdString());
    if (!station.position) return std::nullopt;
  }
  const QString callsign = callsign_->text().trimmed().toUpper();
  if (!callsign.isEmpty() && !UsableCallsign(callsign)) return std::nullopt;
  station.callsign = callsign.toStdString();
  const auto path = ParsePath(path_->text().toStdString());
  if (!path) return std::nullopt;
  station.path = PathText(*path);
  station.transmit = transmit_->isChecked();
  if (station.transmit && callsign.isEmpty()) return std::nullopt;
  return station;
}

BeaconSettings OwnStationDialog::ChosenBeacon() const {
  BeaconSettings beacon;
  beacon.enabled = beaconOn_->isChecked();
  beacon.symbol = ChosenSymbol(*beaconSymbol_);
  beacon.comment = BeaconComment(beaconComment_->text().toStdString());
  beacon.intervalMinutes = UsableBeaconMinutes(beaconInterval_->value());
  beacon.compressed = beaconCompressed_->isChecked();
  return beacon;
}

void OwnStationDialog::Accept() {
  const std::optional<OwnStation> station = Chosen();
  if (!station) {
    problem_->setText("Position takes LAT,LON in degrees or a Maidenhead locator; "
                      "a callsign is up to six letters and digits, at least one a digit, "
                      "and an SSID (-0 to -15); Transmit needs one; the path is up to "
                      "eight hops such as WIDE1-1, separated by commas");
    problem_->setWordWrap(true);
    return;
  }
  emit StationChosen(*station);
  emit BeaconChosen(ChosenBeacon());
  accept();
}

}  // namespace vorlink
