// The map's "Place object here...": an object's name (1 to 9 characters),
// symbol and comment at the point the menu was opened on. It edits a value
// and hands it back on OK; the owner beacons it and keeps it.
#pragma once

#include <QDialog>
#include <optional>

#include "aprs/object_report.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vorlink {

class ObjectDialog final : public QDialog {
  Q_OBJECT

 public:
  ObjectDialog(GeoPoint at, QWidget* parent = nullptr);

  // None while the name is not usable.
  std::optional<OwnObject> Chosen() const;

 signals:
  void ObjectChosen(const OwnObject& object);

 private:
  void Accept();

  GeoPoint at_;
  QLineEdit* name_;
  QComboBox* symbol_;
  QLineEdit* comment_;
  QLabel* problem_;
};

}  // namespace vorlink
