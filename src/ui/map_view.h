// The map: the offline base map, online tiles over it when switched on, the
// graticule and the Maidenhead grid, every station at its last position with
// its symbol, label and fading track, the own position with range rings, a
// scale bar, and the cursor's latitude, longitude and locator. Pans with the
// mouse and the arrow keys, zooms with the wheel and + and -.
//
// It draws what a track store holds (kept by its owner, which calls
// StationsChanged after adding), so it can be fed from any source.
#pragma once

#include <QPixmap>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "geo/map_viewport.h"
#include "geo/track_store.h"
#include "geo/web_mercator.h"
#include "ui/map_symbols.h"
#include "ui/map_track_builder.h"
#include "ui/map_track_lines.h"

namespace vorlink {

class BaseMap;
class TileLayer;

inline constexpr int kMaxLabels = 400;  // more labels than this are clutter
inline constexpr int kPanStepPixels = 64;
inline constexpr double kPickRadiusPixels = 10;
inline constexpr int kBaseMargin = 256;  // pixels of base map drawn round the view

struct MapLook {
  std::optional<GeoPoint> own;
  std::vector<double> ringsKm{10, 25, 50, 100};
  std::int64_t trackMs = std::int64_t{2} * 3'600'000;  // how long a track stays
};

class MapView final : public QWidget {
  Q_OBJECT

 public:
  MapView(const TrackStore& stations, BaseMap& base, QWidget* parent = nullptr);

  void SetTiles(TileLayer* tiles);  // nullptr: no online tiles
  void SetLook(const MapLook& look);
  void SetFilter(const MapFilter& filter);
  // UTC milliseconds that ages are counted to; the clock's now when unset.
  void SetNow(std::optional<std::int64_t> now);
  void StationsChanged();

  void CentreOn(GeoPoint point);
  void SetZoom(int zoom);
  int Zoom() const { return viewport_.Zoom(); }
  GeoPoint Centre() const;
  // Every station the filter lets through in view, at the closest zoom that holds them.
  void FitAll();

  QPointF ScreenOf(GeoPoint point) const;
  GeoPoint PointAt(QPointF screen) const;
  std::optional<std::size_t> StationAt(QPointF screen) const;
  bool Passes(const MapStation& station) const;
  // The track lines drawn, and whether they are those of the current zoom
  // and store (a rebuild may be under way, in slices across turns).
  const MapTrackLines& TrackLines() const { return tracks_.Lines(); }
  bool TracksReady() const { return !tracks_.Building(); }
  // The stations whose label the last paint drew, in the order drawn.
  const std::vector<std::size_t>& Labelled() const { return labelled_; }
  // "52.52000 N  13.40500 E  JO62QM" for a point.
  static QString PositionText(GeoPoint point);
  QSize sizeHint() const override { return {800, 600}; }

 signals:
  void StationClicked(std::size_t row);
  void StationDoubleClicked(std::size_t row);
  // The context menu asked for at a point of the map (global: where to open it).
  void ContextMenuWanted(GeoPoint point, QPoint global);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  MapTrackWish Wish() const;
  void BuildTrackLines();
  void BuildSlice();
  std::int64_t Now() const;
  // The viewport at the widget's size.
  MapViewport Port() const;
  MapViewport& SizedPort();
  void ZoomAround(int zoom, QPointF screen);
  void PanBy(QPointF pixels);
  void PaintBase(QPainter& p);
  void PaintLayers(QPainter& p, const QRectF& area);
  void PaintWorldCopy(QPainter& p, QPointF origin, const QRectF& view);
  void PaintTiles(QPainter& p);
  void PaintGrid(QPainter& p);
  void PaintTracks(QPainter& p);
  void PaintStations(QPainter& p);
  void PaintLabels(QPainter& p, std::vector<std::pair<QPointF, std::size_t>>& shown);
  void PaintOwn(QPainter& p);
  void PaintScale(QPainter& p);
  void PaintTexts(QPainter& p);

  const TrackStore& stations_;
  BaseMap& base_;
  TileLayer* tiles_ = nullptr;
  MapLook look_;
  MapFilter filter_;
  std::optional<std::int64_t> now_;
  MapViewport viewport_;
  QPixmap baseCache_;
  QPointF baseTopLeft_;  // the view's top left in world pixels when the cache was drawn
  int baseZoom_ = -1;
  // The tracks of the stations the filter lets through at the current zoom,
  // rebuilt in slices while the view is shown, so a frame only moves them.
  MapTrackBuilder tracks_;
  bool sliceQueued_ = false;
  SymbolCache symbols_;
  std::vector<std::size_t> labelled_;
  std::vector<int> labelWidths_;  // per station, in the widget's font
  std::optional<QPointF> pressedAt_;
  QPointF lastDrag_;
  bool dragged_ = false;
  std::optional<QPointF> cursor_;
};

}  // namespace vorlink
