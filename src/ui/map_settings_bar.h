// The map's settings on a tool bar of the map window: how long tracks stay,
// the range rings, the tile server and the size of its disk cache. It edits
// a value and hands it back whole; the window applies it and its owner keeps
// it. A text that is no setting is refused with a word why and put back.
#pragma once

#include <QToolBar>

#include "app/map_settings.h"

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace vorlink {

class MapSettingsBar final : public QToolBar {
  Q_OBJECT

 public:
  explicit MapSettingsBar(const MapSettings& settings, QWidget* parent = nullptr);
  // Shows the value without telling anyone.
  void SetValue(const MapSettings& settings);

 signals:
  void Changed(const MapSettings& settings);
  void Refused(const QString& why);

 private:
  void TakeRings();
  void TakeTileUrl();

  MapSettings value_;
  QDoubleSpinBox* trackHours_ = nullptr;
  QLineEdit* rings_ = nullptr;
  QLineEdit* tileUrl_ = nullptr;
  QSpinBox* cacheMib_ = nullptr;
};

}  // namespace vorlink
