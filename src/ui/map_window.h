// View > Map: the map over the stations the frames report, beside a sortable
// list of them (distance and bearing from the own position, last heard,
// direct or via) where a click centres the map, and the last report of the
// station clicked. Filters: heard direct only, heard in the last N hours.
// Map > Online tiles switches the tile layer and a tool bar holds the other
// map settings; the window hands the changed settings to its owner to keep.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>

#include <memory>
#include <vector>

#include "aprs/object_report.h"
#include <optional>
#include <string>

#include "app/map_settings.h"
#include "geo/geo_point.h"
#include "geo/track_store.h"
#include "store/frame_store.h"
#include "store/map_feed.h"

class QAction;
class QLabel;
class QSpinBox;
class QTimer;
class QTreeView;

namespace vorlink {

class BaseMap;
class MapSettingsBar;
class MapStationFilter;
class MapStationModel;
class MapView;
class TileLayer;

inline constexpr int kMapRefreshMs = 1000;
// A long store is read in steps of kMapFeedStep frames for at most
// kMapSliceMs per turn of the event loop, and the list and the view are
// redrawn at most every kMapCatchUpRedrawMs while it catches up.
inline constexpr std::size_t kMapFeedStep = 2'000;
inline constexpr int kMapSliceMs = 20;
inline constexpr int kMapCatchUpRedrawMs = 1000;

struct MapWindowSetup {
  MapSettings settings;
  std::optional<std::string> tileUrlForThisRun;  // --tile-url: tiles on and from it, never kept
  QString tileCacheFolder;
  // A capture's ages count to its last report, not to the clock.
  bool capture = false;
  std::optional<GeoPoint> own;  // the station's own position: rings, distances
};

class MapWindow final : public QMainWindow {
  Q_OBJECT

 public:
  MapWindow(const FrameStore& store, MapWindowSetup setup, QWidget* parent = nullptr);
  ~MapWindow() override;

  // Reads the frames that arrived and redraws; the timer does it every
  // second. A long store goes on being read a slice per turn meanwhile.
  void Refresh();
  MapView& View() { return *view_; }
  // The live objects the context menu offers to kill.
  void SetObjects(std::vector<OwnObject> objects) { objects_ = std::move(objects); }
  // The map's context menu at a point: place an object there, kill one.
  QMenu* ObjectMenu(GeoPoint point);
  TrackStore& Stations() { return stations_; }
  QTreeView& List() { return *list_; }
  QString Details() const;
  QAction& OnlineTiles() { return *online_; }
  TileLayer* Tiles() const { return tiles_; }
  void ShowStation(std::size_t row);
  void SetOwnPosition(const std::optional<GeoPoint>& own);
  // Centres on the station and tells its report; false when it has no position here.
  bool CentreOnStation(const QString& callsign);

 signals:
  // The operator changed a setting (Map > Online tiles).
  void SettingsChanged(const MapSettings& settings);
  // A station double-clicked: the frame browser is to show its frames.
  void FramesWanted(const QString& callsign);
  // The context menu's "Place object here..." and "Kill object".
  void ObjectPlaced(const OwnObject& object);
  void ObjectKilled(const QString& name);

 private:
  void BuildMenus();
  bool TilesAtStart() const;
  void SwitchTiles(bool on);
  void TakeSettings(const MapSettings& settings);
  void Redraw();
  void ApplyFilter();
  void ApplyLook();

  const FrameStore& store_;
  MapWindowSetup setup_;
  std::vector<OwnObject> objects_;
  MapSettings settings_;
  std::optional<GeoPoint> own_;
  TrackStore stations_;
  MapFeed feed_;
  std::unique_ptr<BaseMap> base_;
  TileLayer* tiles_ = nullptr;
  MapView* view_ = nullptr;
  MapStationModel* model_ = nullptr;
  MapStationFilter* shown_ = nullptr;
  QTreeView* list_ = nullptr;
  QLabel* details_ = nullptr;
  QAction* online_ = nullptr;
  MapSettingsBar* settingsBar_ = nullptr;
  QAction* directOnly_ = nullptr;
  QSpinBox* lastHours_ = nullptr;
  QTimer* timer_ = nullptr;
  QTimer* catchUp_ = nullptr;  // reads the next slice of a long store
  bool fitted_ = false;
  QElapsedTimer sinceRedraw_;
  std::uint64_t filteredGeneration_ = 0;
};

}  // namespace vorlink
