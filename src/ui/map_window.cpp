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
#include <QTreeView>
#include <QVBoxLayout>

#include "store/heard_list.h"
#include "ui/base_map.h"
#include "ui/map_settings_bar.h"
#include "ui/map_station_model.h"
#include "ui/map_view.h"
#include "ui/object_dialog.h"
#include "ui/tile_layer.h"

namespace vorlink {
namespace {

constexpr int kMapWindowWidth = 1100;
constexpr int kMapWindowHeight = 700;
constexpr int kMaxLastHours = 24 * 31;

}  // namespace

MapWindow::MapWindow(const FrameStore& store, MapWindowSetup setup, QWidget* parent)
    : QMainWindow(parent), store_(store), setup_(std::move(setup)),
      settings_(setup_.settings), own_(setup_.own), base_(std::make_unique<BaseMap>()) {
  setObjectName("MapWindow");
  setWindowTitle("Map");
  view_ = new MapView(stations_, *base_);
  connect(view_, &MapView::ContextMenuWanted, this, [this](GeoPoint point, QPoint global) {
    ObjectMenu(point)->popup(global);
  });
  ApplyLook();

  model_ = new MapStationModel(stations_, this);
  model_->SetOwn(own_);
  shown_ = new MapStationFilter([this](std::size_t row) { return view_->Passes(stations_.At(row)); }, this);
  shown_->setSourceModel(model_);
  list_ = new QTreeView;
  list_->setObjectName("MapStations");
  list_->setModel(shown_);
  list_->setRootIsDecorated(false);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Ten thousand rows of one line each: measuring every row's height would hold the window.
  list_->setUniformRowHeights(true);
  list_->setSortingEnabled(true);
  list_->sortByColumn(kMapLastHeardColumn, Qt::DescendingOrder);
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
  resize(kMapWindowWidth, kMapWindowHeight);
  // Room for the list's columns: callsign, distance, bearing, date and time, how heard.
  const int listWidth =
      fontMetrics().horizontalAdvance("VE2ABC-15 _ 999.9 _ Bearing _ 2026-05-28 21:22:40 _ via digipeater __");
  split->setSizes({kMapWindowWidth - listWidth, listWidth});

  connect(view_, &MapView::StationClicked, this, &MapWindow::ShowStation);
  connect(view_, &MapView::StationDoubleClicked, this, [this](std::size_t row) {
    emit FramesWanted(QString::fromStdString(stations_.At(row).last.name));
  });
  connect(list_, &QTreeView::clicked, this, [this](const QModelIndex& index) {
    const auto row = index.data(MapStationModel::kStoreRowRole).value<qulonglong>();
    view_->CentreOn(stations_.At(row).last.position);
    ShowStation(row);
  });
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &MapWindow::Refresh);
  timer_->start(kMapRefreshMs);
  catchUp_ = new QTimer(this);
  catchUp_->setInterval(0);
  connect(catchUp_, &QTimer::timeout, this, &MapWindow::Refresh);
  SwitchTiles(TilesAtStart());
  // Read in a turn of its own: the window shows at once.
  QTimer::singleShot(0, this, &MapWindow::Refresh);
}

MapWindow::~MapWindow() {
  // The list and the map read the stations and the base map: they go first.
  delete centralWidget();
  delete shown_;
  delete model_;
}

void MapWindow::BuildMenus() {
  QMenu* map = menuBar()->addMenu("&Map");
  online_ = map->addAction("Online tiles");
  online_->setObjectName("MnuOnlineTiles");
  online_->setCheckable(true);
  online_->setChecked(TilesAtStart());
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
  settingsBar_ = new MapSettingsBar(settings_, this);
  // A row of its own: beside the view's bar its address field was cut.
  addToolBarBreak();
  addToolBar(settingsBar_);

  connect(online_, &QAction::toggled, this, [this](bool on) {
    SwitchTiles(on);
    settings_.onlineTiles = on;
    settingsBar_->SetValue(settings_);
    emit SettingsChanged(settings_);
  });
  connect(settingsBar_, &MapSettingsBar::Changed, this, &MapWindow::TakeSettings);
  connect(settingsBar_, &MapSettingsBar::Refused, this, [this](const QString& why) { statusBar()->showMessage(why); });
  connect(fit, &QAction::triggered, view_, &MapView::FitAll);
  connect(directOnly_, &QAction::toggled, this, &MapWindow::ApplyFilter);
  connect(lastHours_, &QSpinBox::valueChanged, this, &MapWindow::ApplyFilter);
}

// A server named for this run is wanted now, whatever the setting says;
// the setting is left as it was.
bool MapWindow::TilesAtStart() const { return settings_.onlineTiles || setup_.tileUrlForThisRun.has_value(); }

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

void MapWindow::TakeSettings(const MapSettings& settings) {
  const MapSettings before = settings_;
  settings_ = settings;
  ApplyLook();
  // A --tile-url of this run stays in use; the setting is for later runs.
  if (tiles_ != nullptr && settings_.tileUrl != before.tileUrl && !setup_.tileUrlForThisRun) {
    tiles_->SetUrlTemplate(QString::fromStdString(settings_.tileUrl));
  }
  if (tiles_ != nullptr && settings_.tileCacheMib != before.tileCacheMib) {
    tiles_->SetCacheBytes(settings_.tileCacheMib << 20);
  }
  emit SettingsChanged(settings_);
}

void MapWindow::ApplyLook() {
  MapLook look;
  look.own = own_;
  look.ringsKm = settings_.ringsKm;
  look.trackMs = static_cast<std::int64_t>(settings_.trackHours * kMapMillisecondsPerHour);
  view_->SetLook(look);
}

void MapWindow::SetOwnPosition(const std::optional<GeoPoint>& own) {
  own_ = own;
  ApplyLook();
  model_->SetOwn(own_);
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
  shown_->Refilter();
}

void MapWindow::Refresh() {
  // A long store is read a slice per turn of the event loop, by one chain
  // of turns; a turn either reads or redraws, never both, so neither adds
  // to the other's time.
  const bool redrawDue = !sinceRedraw_.isValid() || sinceRedraw_.elapsed() >= kMapCatchUpRedrawMs;
  if (!catchUp_->isActive() || !redrawDue) {
    QElapsedTimer slice;
    slice.start();
    bool more = feed_.CatchUp(store_, stations_, kMapFeedStep);
    while (more && slice.elapsed() < kMapSliceMs) more = feed_.CatchUp(store_, stations_, kMapFeedStep);
    if (more) {
      catchUp_->start();
      return;
    }
    catchUp_->stop();
  }
  Redraw();
}

void MapWindow::Redraw() {
  sinceRedraw_.start();
  const auto trackMs = static_cast<std::int64_t>(settings_.trackHours * kMapMillisecondsPerHour);
  const std::int64_t now = setup_.capture ? stations_.Newest() : QDateTime::currentMSecsSinceEpoch();
  if (setup_.capture) view_->SetNow(now);
  stations_.ForgetBefore(now - trackMs);
  view_->StationsChanged();
  const std::uint64_t generation = stations_.Generation();
  if (!fitted_ && stations_.Size() > 0) {
    fitted_ = true;
    view_->FitAll();
  }
  model_->Update(stations_.TakeChanged());
  // Time moves stations out of the last hours, not only a new report.
  if (lastHours_->value() > 0 && generation != filteredGeneration_) shown_->Refilter();
  filteredGeneration_ = generation;
}

void MapWindow::ShowStation(std::size_t row) {
  const StationReport& r = stations_.At(row).last;
  QString text = QString("<b>%1</b><br>%2<br>Last report: %3<br>Path: %4<br>Heard: %5<br>Last heard: %6")
                     .arg(QString::fromStdString(r.name).toHtmlEscaped(),
                          MapView::PositionText(r.position),
                          QString::fromStdString(r.report).toHtmlEscaped(),
                          r.path.empty() ? QString("(none)") : QString::fromStdString(r.path).toHtmlEscaped(),
                          MapHeardText(r), QString::fromStdString(HeardTimeText(r.time)));
  details_->setText(text);
}

QString MapWindow::Details() const { return details_->text(); }

QMenu* MapWindow::ObjectMenu(GeoPoint point) {
  auto* menu = new QMenu(this);
  menu->setObjectName("MapContextMenu");
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction("Place object here...", this, [this, point] {
    auto* dialog = new ObjectDialog({point.latitude, point.longitude}, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ObjectDialog::ObjectChosen, this, &MapWindow::ObjectPlaced);
    dialog->show();
  });
  QMenu* kill = menu->addMenu("Kill object");
  kill->setObjectName("MapKillObject");
  kill->setEnabled(!objects_.empty());
  for (const OwnObject& object : objects_) {
    const QString name = QString::fromStdString(object.name);
    kill->addAction(name, this, [this, name] { emit ObjectKilled(name); });
  }
  return menu;
}

}  // namespace vorlink
