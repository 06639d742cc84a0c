#include "ui/map_window.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "decode/heard_list.h"
#include "decode/map_geo.h"
#include "ui/base_map.h"
#include "ui/map_view.h"
#include "ui/tile_layer.h"

namespace vorlink {
namespace {

enum Column { kStationColumn, kDistanceColumn, kBearingColumn, kLastHeardColumn, kHeardColumn };
constexpr int kRowRole = Qt::UserRole;
constexpr double kTrackMillisecondsPerHour = 3'600'000;
constexpr int kMaxLastHours = 24 * 31;

std::optional<LatLon> LatLonOf(const std::optional<GeoPoint>& point) {
  if (!point) return std::nullopt;
  return LatLon{point->latitude, point->longitude};
}

QString HeardText(const StationReport& r) { return r.direct ? "direct" : "via digipeater"; }

}  // namespace

MapWindow::MapWindow(const FrameStore& store, MapWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), store_(store), setup_(std::move(setup)),
      settings_(setup_.settings), own_(LatLonOf(setup_.own)), base_(std::make_unique<BaseMap>()) {
  setObjectName("MapWindow");
  setWindowTitle("Map");
  view_ = new MapView(stations_, *base_);
  ApplyLook();

  list_ = new QTreeWidget;
  list_->setObjectName("MapStations");
  list_->setHeaderLabels({"Station", "km", "Bearing", "Last heard", "Heard"});
  list_->setRootIsDecorated(false);
  // Ten thousand rows of one line each: measuring every row's height would hold the window.
  list_->setUniformRowHeights(true);
  list_->setSortingEnabled(true);
  list_->sortByColumn(kLastHeardColumn, Qt::DescendingOrder);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  details_ = new QLabel;
  details_->setObjectName("MapDetails");
  details_->setWordWrap(true);
  details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  details_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  auto* side = new QWidget;
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(list_, 3);
  sideLayout->addWidget(details_, 1);
  auto* split = new QSplitter;
  split->addWidget(view_);
  split->addWidget(side);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);
  setCentralWidget(split);
  BuildMenus();
  if (!base_->Complete()) statusBar()->showMessage(base_->Missing());
  resize(1100, 700);

  connect(view_, &MapView::StationClicked, this, &MapWindow::ShowStation);
  connect(view_, &MapView::StationDoubleClicked, this, [this](std::size_t row) {
    emit FramesWanted(QString::fromStdString(stations_.At(row).last.name));
  });
  connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    const auto row = item->data(kStationColumn, kRowRole).value<qulonglong>();
    view_->CentreOn(stations_.At(row).last.position);
    ShowStation(row);
  });
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &MapWindow::Refresh);
  timer_->start(kMapRefreshMs);
  SwitchTiles(settings_.onlineTiles);
  Refresh();
}

MapWindow::~MapWindow() = default;

void MapWindow::BuildMenus() {
  QMenu* map = menuBar()->addMenu("&Map");
  online_ = map->addAction("Online tiles");
  online_->setObjectName("MnuOnlineTiles");
  online_->setCheckable(true);
  online_->setChecked(settings_.onlineTiles);
  QAction* fit = map->addAction("Fit all stations");
  fit->setObjectName("MnuFitAll");
  directOnly_ = map->addAction("Heard direct only");
  directOnly_->setObjectName("MnuDirectOnly");
  directOnly_->setCheckable(true);

  QToolBar* bar = addToolBar("Map");
  bar->addAction(fit);
  bar->addAction(directOnly_);
  bar->addWidget(new QLabel(" Last "));
  lastHours_ = new QSpinBox;
  lastHours_->setObjectName("MapLastHours");
  lastHours_->setRange(0, kMaxLastHours);
  lastHours_->setSpecialValueText("all");
  lastHours_->setSuffix(" h");
  bar->addWidget(lastHours_);

  connect(online_, &QAction::toggled, this, [this](bool on) {
    SwitchTiles(on);
    settings_.onlineTiles = on;
    emit SettingsChanged(settings_);
  });
  connect(fit, &QAction::triggered, view_, &MapView::FitAll);
  connect(directOnly_, &QAction::toggled, this, &MapWindow::ApplyFilter);
  connect(lastHours_, &QSpinBox::valueChanged, this, &MapWindow::ApplyFilter);
}

void MapWindow::SwitchTiles(bool on) {
  if (on && tiles_ == nullptr) {
    tiles_ = new TileLayer(setup_.tileCacheFolder, settings_.tileCacheMib << 20, this);
    tiles_->SetUrlTemplate(QString::fromStdString(setup_.tileUrlForThisRun.value_or(settings_.tileUrl)));
  } else if (!on && tiles_ != nullptr) {
    tiles_->deleteLater();
    tiles_ = nullptr;
  }
  view_->SetTiles(tiles_);
}

void MapWindow::ApplyLook() {
  MapLook look;
  look.own = own_;
  look.ringsKm = settings_.ringsKm;
  look.trackMs = static_cast<std::int64_t>(settings_.trackHours * kTrackMillisecondsPerHour);
  view_->SetLook(look);
}

void MapWindow::SetOwnPosition(const std::optional<GeoPoint>& own) {
  own_ = LatLonOf(own);
  ApplyLook();
  listedGeneration_ = ~std::uint64_t{0};
  FillList();
}

bool MapWindow::CentreOnStation(const QString& callsign) {
  const auto row = stations_.Find(callsign.toStdString(), false);
  if (!row) return false;
  view_->CentreOn(stations_.At(*row).last.position);
  ShowStation(*row);
  return true;
}

void MapWindow::ApplyFilter() {
  view_->SetFilter({directOnly_->isChecked(), lastHours_->value()});
  listedGeneration_ = ~std::uint64_t{0};
  FillList();
}

void MapWindow::Refresh() {
  // A long store is read a slice per turn of the event loop, never all at once.
  QElapsedTimer slice;
  slice.start();
  bool more = feed_.CatchUp(store_, stations_, kMapFeedStep);
  while (more && slice.elapsed() < kMapSliceMs) more = feed_.CatchUp(store_, stations_, kMapFeedStep);
  if (more) {
    QTimer::singleShot(0, this, &MapWindow::Refresh);
    // Redrawing ten thousand stations after every slice would cost more than the slices.
    if (sinceRedraw_.isValid() && sinceRedraw_.elapsed() < kMapCatchUpRedrawMs) return;
  }
  sinceRedraw_.start();
  const auto trackMs = static_cast<std::int64_t>(settings_.trackHours * kTrackMillisecondsPerHour);
  const std::int64_t now = setup_.capture ? stations_.Newest() : QDateTime::currentMSecsSinceEpoch();
  if (setup_.capture) view_->SetNow(now);
  stations_.ForgetBefore(now - trackMs);
  view_->StationsChanged();
  if (!fitted_ && stations_.Size() > 0) {
    fitted_ = true;
    view_->FitAll();
  }
  FillList();
}

void MapWindow::FillList() {
  if (listedGeneration_ == stations_.Generation()) return;
  listedGeneration_ = stations_.Generation();
  const std::optional<LatLon> own = own_;
  list_->setSortingEnabled(false);
  list_->clear();
  QList<QTreeWidgetItem*> items;
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    const MapStation& s = stations_.At(row);
    if (!view_->Passes(s)) continue;
    auto* item = new QTreeWidgetItem;
    item->setText(kStationColumn, QString::fromStdString(s.last.name));
    item->setData(kStationColumn, kRowRole, QVariant::fromValue<qulonglong>(row));
    if (own) {
      if (const auto km = MapDistanceKm(*own, s.last.position)) {
        item->setData(kDistanceColumn, Qt::DisplayRole, std::round(*km * 10) / 10);
      }
      if (const auto bearing = MapBearingDegrees(*own, s.last.position)) {
        item->setData(kBearingColumn, Qt::DisplayRole, static_cast<int>(std::lround(*bearing)) % 360);
      }
    }
    item->setText(kLastHeardColumn, QString::fromStdString(HeardTimeText(s.last.time)));
    item->setText(kHeardColumn, HeardText(s.last));
    items.append(item);
  }
  list_->addTopLevelItems(items);
  list_->setSortingEnabled(true);
}

void MapWindow::ShowStation(std::size_t row) {
  const StationReport& r = stations_.At(row).last;
  QString text = QString("<b>%1</b><br>%2<br>Last report: %3<br>Path: %4<br>Heard: %5<br>Last heard: %6")
                     .arg(QString::fromStdString(r.name).toHtmlEscaped(),
                          MapView::PositionText(r.position),
                          QString::fromStdString(r.report).toHtmlEscaped(),
                          r.path.empty() ? QString("(none)") : QString::fromStdString(r.path).toHtmlEscaped(),
                          HeardText(r), QString::fromStdString(HeardTimeText(r.time)));
  details_->setText(text);
}

QString MapWindow::Details() const { return details_->text(); }

}  // namespace vorlink
