#include "ui/map_settings_bar.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace vorlink {
namespace {

constexpr int kMapTileUrlWidth = 280;
constexpr int kMapRingsWidth = 110;
constexpr const char* kRingsRefused = "Range rings: give distances in km, such as 10,25,50";
constexpr const char* kTileUrlRefused = "Tile server: give an http or https address with {z}, {x} and {y}";

}  // namespace

MapSettingsBar::MapSettingsBar(const MapSettings& settings, QWidget* parent)
    : QToolBar("Map settings", parent), value_(settings) {
  setObjectName("MapSettingsBar");
  trackHours_ = new QDoubleSpinBox;
  trackHours_->setObjectName("MapTrackHours");
  trackHours_->setRange(0, kMaxTrackHours);
  trackHours_->setDecimals(1);
  trackHours_->setSuffix(" h");
  rings_ = new QLineEdit;
  rings_->setObjectName("MapRangeRings");
  rings_->setFixedWidth(kMapRingsWidth);
  rings_->setPlaceholderText("none");
  tileUrl_ = new QLineEdit;
  tileUrl_->setObjectName("MapTileUrl");
  tileUrl_->setMinimumWidth(kMapTileUrlWidth);
  cacheMib_ = new QSpinBox;
  cacheMib_->setObjectName("MapTileCacheMib");
  cacheMib_->setRange(1, static_cast<int>(kMaxTileCacheMib));
  cacheMib_->setSuffix(" MiB");
  // A value counts when it is entered, not at every key.
  trackHours_->setKeyboardTracking(false);
  cacheMib_->setKeyboardTracking(false);
  addWidget(new QLabel(" Tracks "));
  addWidget(trackHours_);
  addWidget(new QLabel(" Rings km "));
  addWidget(rings_);
  addWidget(new QLabel(" Tile server "));
  addWidget(tileUrl_);
  addWidget(new QLabel(" Tile cache "));
  addWidget(cacheMib_);
  SetValue(settings);

  connect(trackHours_, &QDoubleSpinBox::valueChanged, this, [this](double hours) {
    value_.trackHours = hours;
    emit Changed(value_);
  });
  connect(cacheMib_, &QSpinBox::valueChanged, this, [this](int mib) {
    value_.tileCacheMib = mib;
    emit Changed(value_);
  });
  connect(rings_, &QLineEdit::editingFinished, this, &MapSettingsBar::TakeRings);
  connect(tileUrl_, &QLineEdit::editingFinished, this, &MapSettingsBar::TakeTileUrl);
}

void MapSettingsBar::SetValue(const MapSettings& settings) {
  value_ = settings;
  const QSignalBlocker hours(trackHours_), cache(cacheMib_);
  trackHours_->setValue(settings.trackHours);
  cacheMib_->setValue(static_cast<int>(settings.tileCacheMib));
  rings_->setText(QString::fromStdString(RangeRingsText(settings.ringsKm)));
  tileUrl_->setText(QString::fromStdString(settings.tileUrl));
}

void MapSettingsBar::TakeRings() {
  const auto rings = ParseRangeRings(rings_->text().toStdString());
  if (!rings) {
    rings_->setText(QString::fromStdString(RangeRingsText(value_.ringsKm)));
    emit Refused(kRingsRefused);
    return;
  }
  if (*rings == value_.ringsKm) return;
  value_.ringsKm = *rings;
  emit Changed(value_);
}

void MapSettingsBar::TakeTileUrl() {
  const std::string url = tileUrl_->text().trimmed().toStdString();
  if (!UsableTileUrl(url)) {
    tileUrl_->setText(QString::fromStdString(value_.tileUrl));
    emit Refused(kTileUrlRefused);
    return;
  }
  if (url == value_.tileUrl) return;
  value_.tileUrl = url;
  emit Changed(value_);
}

}  // namespace vorlink
