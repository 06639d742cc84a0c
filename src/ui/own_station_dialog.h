// Options > Station...: the station's own position (LAT,LON in degrees or a
// Maidenhead locator) and callsign, and whether it transmits ("Transmit",
// beside the callsign, off until chosen) and by which path. It edits a value
// and hands it back on OK; its owner keeps it in vorlink.conf and gives it to
// the windows that measure from it and to the sender. An empty position
// leaves distance and bearing blank. Below them the own beacon: on or off,
// its symbol (from the symbol table, with its description), comment,
// interval (10 min at least) and whether it goes compressed.
#pragma once

#include <QDialog>

#include "app/own_beacons.h"
#include "aprs/own_station.h"

class QCheckBox;
class QComboBox;
class QSpinBox;
class QLabel;
class QLineEdit;

namespace vorlink {

class OwnStationDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit OwnStationDialog(const OwnStation& station, const BeaconSettings& beacon = {},
                            QWidget* parent = nullptr);

  // What the fields say now; none while one of them is not usable.
  std::optional<OwnStation> Chosen() const;
  BeaconSettings ChosenBeacon() const;

 signals:
  void StationChosen(const OwnStation& station);
  void BeaconChosen(const BeaconSettings& beacon);

 private:
  void Accept();
  // Why nothing will be sent, under the path; empty while it would be.
  void ShowTransmitState();

  QLineEdit* position_;
  QLineEdit* callsign_;
  QCheckBox* transmit_;
  QLineEdit* path_;
  QLabel* transmitState_;
  QCheckBox* beaconOn_;
  QComboBox* beaconSymbol_;
  QLineEdit* beaconComment_;
  QSpinBox* beaconInterval_;
  QCheckBox* beaconCompressed_;
  QLabel* problem_;
};

}  // namespace vorlink
