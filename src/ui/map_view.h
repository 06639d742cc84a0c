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

#include "geo/track_store.h"
#include "geo/web_mercator.h"
#include "ui/map_symbols.h"
#include "ui/map_track_lines.h"

namespace vorlink {

// Track and filter lengths are set in hours, times kept in milliseconds.
inline constexpr double kMapMillisecondsPerHour = 3'600'000;

class BaseMap;
class TileLayer;

inline constexpr int kMaxLabels = 400;  // more labels than this are clutter
inline constexpr int kPanStepPixels = 64;
inline constexpr double kPickRadiusPixels = 10;
inline constexpr int kBaseMargin = 256;  // pixels of base map drawn round the view

struct MapLook {
  std::optional<LatLon> own;
  std::vector<double> ringsKm{10, 25, 50, 100};
  std::int64_t trackMs = std::int64_t{2} * 3'600'000;  // how long a track stays
};

struct MapFilter {
  bool directOnly = false;
  int lastHours = 0;  // 0: all
  friend bool operator==(const MapFilter&, const MapFilter&) = default;
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

  void CentreOn(LatLon point);
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  LatLon Centre() const;
  // Every station the filter lets through in view, at the closest zoom that holds them.
  void FitAll();

  QPointF ScreenOf(LatLon point) const;
  LatLon PointAt(QPointF screen) const;
  std::optional<std::size_t> StationAt(QPointF screen) const;
  bool Passes(const MapStation& station) const;
  // The track lines drawn, and whether they are those of the current zoom
  // and store (a rebuild may be under way, in slices across turns).
  const MapTrackLines& TrackLines() const { return lines_; }
  bool TracksReady() const { return !building_; }
  // The stations whose label the last paint drew, in the order drawn.
  const std::vector<std::size_t>& Labelled() const { return labelled_; }
  // "52.52000 N  13.40500 E  JO62QM" for a point.
  static QString PositionText(LatLon point);
  QSize sizeHint() const override { return {800, 600}; }

 signals:
  void StationClicked(std::size_t row);
  void StationDoubleClicked(std::size_t row);
  // The context menu asked for at a point of the map (global: where to open it).
  void ContextMenuWanted(LatLon point, QPoint global);

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
  // A station's positions as fractions of the world square (x unwound
  // along the track, but not across a break), computed once per change of
  // the store.
  struct Projected {
    WorldPoint last;
    std::vector<WorldPoint> track;
    std::vector<bool> joined;  // of track: reachable from the position before it
    double shift = 0;  // of the last position, to unwind the next
    TrackPoint end;  // the last projected, found again after the oldest went
  };
  // How far one row's track has gone into a set of lines.
  struct RowLines {
    QPoint previous;
    bool have = false;
    bool passed = false;
    std::size_t upTo = 0;
    double copy = 0;
  };
  struct LinesFor {
    int zoom = -1;
    std::int64_t now = 0;
    std::int64_t trackMs = 0;
    MapFilter filter;
  };
  void Project();
  void ProjectFrom(std::size_t row, std::size_t from);
  void BuildTrackLines();
  bool Current(const LinesFor& made, const LinesFor& wanted) const;
  void AddTrack(MapTrackLines& lines, std::size_t row, RowLines& state, const LinesFor& made);
  void AddNewPositions();
  // True when the rebuild under way is done and shown.
  bool BuildBy(MapTrackLines::Deadline deadline);
  void BuildSlice();
  std::int64_t Now() const;
  double WorldSide() const;
  // The screen x of a world fraction, on the copy of the world nearest the centre.
  QPointF ScreenOfFraction(WorldPoint fraction) const;
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
  WorldPoint centre_{0.5, 0.5};  // fraction of the world square
  int zoom_ = 2;
  std::vector<Projected> projected_;
  std::uint64_t projectedGeneration_ = ~std::uint64_t{0};
  QPixmap baseCache_;
  QPointF baseTopLeft_;  // the view's top left in world pixels when the cache was drawn
  int baseZoom_ = -1;
  // The tracks of the stations the filter lets through at the current zoom,
  // thinned to what the zoom can show, on the copy of the world that holds
  // each one's last position; rebuilt when the store, the zoom, the filter
  // or the ages change, so a frame only moves them.
  // New positions are added to them as they come; a rebuild is made in
  // slices beside them while the view is shown, the old ones drawn meanwhile.
  MapTrackLines lines_;
  std::vector<RowLines> rowLines_;
  LinesFor linesFor_;
  MapTrackLines next_;
  std::vector<RowLines> nextRows_;
  LinesFor nextFor_;
  std::size_t nextRow_ = 0;
  std::uint64_t linesGeneration_ = ~std::uint64_t{0};  // of the store when lines_ last took its news
  bool building_ = false;
  bool sliceQueued_ = false;
  bool stale_ = false;  // a station filtered out or gone round the world since the lines were made
  // Old positions forgotten since: their lines are the oldest drawn, so they
  // wait for a rebuild at most once a minute, not one per report that
  // pushes a full track's oldest out.
  bool forgotten_ = false;
  std::chrono::steady_clock::time_point builtAt_;
  SymbolCache symbols_;
  std::vector<std::size_t> labelled_;
  std::vector<int> labelWidths_;  // per station, in the widget's font
  std::optional<QPointF> pressedAt_;
  QPointF lastDrag_;
  bool dragged_ = false;
  std::optional<QPointF> cursor_;
};

}  // namespace vorlink
