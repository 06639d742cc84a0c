// Options > Station...: the station's own position (LAT,LON in degrees or a
// Maidenhead locator) and callsign. It edits a value and hands it back on
// OK; its owner keeps it in vorlink.conf and gives it to the windows that
// measure from it. An empty position leaves distance and bearing blank.
#pragma once

#include <QDialog>

#include "aprs/own_station.h"

class QLabel;
class QLineEdit;

namespace vorlink {

class OwnStationDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit OwnStationDialog(const OwnStation& station, QWidget* parent = nullptr);

  // What the fields say now; none while one of them is not usable.
  std::optional<OwnStation> Chosen() const;

 signals:
  void StationChosen(const OwnStation& station);

 private:
  void Accept();

  QLineEdit* position_;
  QLineEdit* callsign_;
  QLabel* problem_;
};

}  // namespace vorlink
