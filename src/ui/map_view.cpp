#include "ui/map_view.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "ui/base_map.h"
#include "ui/map_label_space.h"
#include "ui/tile_layer.h"

namespace vorlink {
namespace {

constexpr QRgb kPaper = 0xF4F1EA;
constexpr QRgb kCoast = 0x4F7CA8;
constexpr QRgb kWater = 0xAAD3DF;
constexpr QRgb kRiver = 0x7FB3D5;
constexpr QRgb kBorder = 0x9E8E9E;
constexpr QRgb kGraticule = 0xC8C8C8;
constexpr QRgb kLocatorGrid = 0xE0A060;
constexpr QRgb kTrack = 0xC0392B;
constexpr QRgb kRing = 0x8E44AD;
// Tracks fade into the paper with age. Opaque: translucent pens draw lines
// many times slower.
constexpr int kBandAlpha[kTrackFadeBands] = {255, 170, 100, 50};
constexpr std::size_t kThickTrackLines = 4'000;
// However many tracks a flood brings, one frame draws no more track than
// this many pixels' worth (the newest lines), about 10 ms of drawing, so the
// map keeps answering.
constexpr std::uint64_t kTrackPixelsPerPaint = 1'250'000;
constexpr int kLabelUnmeasured = -1;
// More copies of the world than this in the base map's cache are drawn once and copied.
constexpr int kBaseCopiesDrawn = 3;
// A rebuild of the tracks works this long per turn of the event loop.
constexpr auto kBuildSlice = std::chrono::milliseconds(12);

QColor FadedTrack(int band) {
  const QColor track = QColor::fromRgb(kTrack), paper = QColor::fromRgb(kPaper);
  const int alpha = kBandAlpha[band];
  const auto mix = [alpha](int ink, int under) { return (ink * alpha + under * (255 - alpha) + 127) / 255; };
  return {mix(track.red(), paper.red()), mix(track.green(), paper.green()), mix(track.blue(), paper.blue())};
}

QPointF Screen(ViewPixel pixel) { return {pixel.x, pixel.y}; }
ViewPixel Pixel(QPointF screen) { return {screen.x(), screen.y()}; }

// Grid steps in degrees (longitude, latitude) for a zoom.
struct GridStep {
  double graticule;
  double locatorLon, locatorLat;
  int locatorCharacters;
};

GridStep StepsAt(int zoom) {
  if (zoom < 3) return {30, 20, 10, 2};
  if (zoom < 6) return {10, 20, 10, 2};
  if (zoom < 10) return {zoom < 8 ? 5.0 : 1.0, 2, 1, 4};
  return {zoom < 13 ? 0.5 : 0.1, 2.0 / 24, 1.0 / 24, 6};
}

QString KmText(double km) {
  if (km >= 1) return QString("%1 km").arg(km, 0, 'g', 4);
  return QString("%1 m").arg(km * 1000, 0, 'g', 4);
}

}  // namespace

MapView::MapView(const TrackStore& stations, BaseMap& base, QWidget* parent)
    : QWidget(parent), stations_(stations), base_(base), tracks_(stations) {
  setObjectName("MapView");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapView::SetTiles(TileLayer* tiles) {
  tiles_ = tiles;
  if (tiles_ != nullptr) connect(tiles_, &TileLayer::TileArrived, this, qOverload<>(&QWidget::update));
  update();
}

void MapView::SetLook(const MapLook& look) {
  look_ = look;
  update();
}

void MapView::SetFilter(const MapFilter& filter) {
  filter_ = filter;
  update();
}

void MapView::SetNow(std::optional<std::int64_t> now) {
  now_ = now;
  update();
}

void MapView::StationsChanged() { update(); }

std::int64_t MapView::Now() const { return now_ ? *now_ : QDateTime::currentMSecsSinceEpoch(); }

MapViewport MapView::Port() const {
  MapViewport port = viewport_;
  port.Resize(width(), height());
  return port;
}

MapViewport& MapView::SizedPort() {
  viewport_.Resize(width(), height());
  return viewport_;
}

QPointF MapView::ScreenOf(GeoPoint point) const { return Screen(Port().PixelOf(point)); }

GeoPoint MapView::PointAt(QPointF screen) const { return Port().PointAt(Pixel(screen)); }

GeoPoint MapView::Centre() const { return viewport_.Centre(); }

void MapView::contextMenuEvent(QContextMenuEvent* event) {
  emit ContextMenuWanted(PointAt(event->pos()), event->globalPos());
}

void MapView::CentreOn(GeoPoint point) {
  viewport_.CentreOn(point);
  update();
}

void MapView::SetZoom(int zoom) {
  viewport_.SetZoom(zoom);
  update();
}

bool MapView::Passes(const MapStation& station) const { return PassesMapFilter(station, filter_, Now()); }

void MapView::FitAll() {
  bool any = false;
  double south = 90, north = -90, west = 180, east = -180;
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    const MapStation& s = stations_.At(row);
    if (!Passes(s)) continue;
    any = true;
    south = std::min(south, s.last.position.latitude);
    north = std::max(north, s.last.position.latitude);
    west = std::min(west, s.last.position.longitude);
    east = std::max(east, s.last.position.longitude);
  }
  if (look_.own) {
    any = true;
    south = std::min(south, look_.own->latitude);
    north = std::max(north, look_.own->latitude);
    west = std::min(west, look_.own->longitude);
    east = std::max(east, look_.own->longitude);
  }
  if (!any) return;
  SizedPort().Fit({south, west}, {north, east}, 2 * kSymbolPixels);
  update();
}

std::optional<std::size_t> MapView::StationAt(QPointF screen) const {
  std::optional<std::size_t> best;
  double bestDistance = kPickRadiusPixels;
  const MapViewport port = Port();
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    const MapStation& s = stations_.At(row);
    if (!Passes(s)) continue;
    const QPointF at = Screen(port.PixelOf(s.last.position));
    const double distance = std::hypot(at.x() - screen.x(), at.y() - screen.y());
    if (distance <= bestDistance) {
      bestDistance = distance;
      best = row;
    }
  }
  return best;
}

QString MapView::PositionText(GeoPoint point) {
  QString text = QString("%1 %2  %3 %4")
                     .arg(std::abs(point.latitude), 0, 'f', 5)
                     .arg(point.latitude < 0 ? 'S' : 'N')
                     .arg(std::abs(point.longitude), 0, 'f', 5)
                     .arg(point.longitude < 0 ? 'W' : 'E');
  const std::string locator = MaidenheadFromPoint(point, kLocatorCharacters);
  if (!locator.empty()) text += "  " + QString::fromStdString(locator);
  return text;
}

void MapView::paintEvent(QPaintEvent*) {
  tracks_.Project();
  QPainter p(this);
  PaintBase(p);
  PaintTiles(p);
  PaintGrid(p);
  PaintTracks(p);
  PaintOwn(p);
  PaintStations(p);
  PaintScale(p);
  PaintTexts(p);
}

void MapView::PaintBase(QPainter& p) {
  const WorldPoint corner = Port().TopLeft();
  const QPointF topLeft(corner.x, corner.y);
  const bool inside = baseCache_.size() == size() + QSize(2, 2) * kBaseMargin &&
                      baseZoom_ == Zoom() && std::abs(topLeft.x() - baseTopLeft_.x()) <= kBaseMargin &&
                      std::abs(topLeft.y() - baseTopLeft_.y()) <= kBaseMargin;
  if (!inside) {
    // Drawn with a margin round the view, so panning mostly only moves it.
    baseZoom_ = Zoom();
    baseTopLeft_ = topLeft;
    baseCache_ = QPixmap(size() + QSize(2, 2) * kBaseMargin);
    baseCache_.fill(QColor::fromRgb(kPaper));
    QPainter cache(&baseCache_);
    PaintLayers(cache, QRectF(QPointF(-kBaseMargin, -kBaseMargin), QSizeF(baseCache_.size())));
  }
  p.drawPixmap(baseTopLeft_ - topLeft - QPointF(kBaseMargin, kBaseMargin), baseCache_);
}

void MapView::PaintLayers(QPainter& p, const QRectF& area) {
  const MapViewport port = Port();
  const double side = port.WorldSide();
  // The world's left edge in the area's coordinates, and the copies of the
  // world the area shows.
  const double left = port.WorldOrigin().x - area.left();
  const double top = port.WorldOrigin().y - area.top();
  const int first = static_cast<int>(std::floor(-left / side)) - 1;
  const int last = static_cast<int>(std::floor((area.width() - left) / side));
  if (last - first < kBaseCopiesDrawn) {
    for (int copy = first; copy <= last; ++copy) {
      const QPointF origin(left + copy * side, top);
      PaintWorldCopy(p, origin, QRectF(QPointF(0, 0), area.size()).translated(-origin));
    }
    return;
  }
  // A world narrower than the view is drawn once and copied, with a margin
  // for shapes that reach past the date line.
  const double margin = side / 4;
  QPixmap world(QSize(static_cast<int>(std::ceil(side + 2 * margin)), static_cast<int>(std::ceil(side))));
  world.fill(Qt::transparent);
  {
    QPainter once(&world);
    PaintWorldCopy(once, {margin, 0}, QRectF(-margin, 0, world.width(), world.height()));
  }
  for (int copy = first; copy <= last; ++copy) p.drawPixmap(QPointF(left + copy * side - margin, top), world);
}

void MapView::PaintWorldCopy(QPainter& p, QPointF origin, const QRectF& view) {
  const struct {
    BaseLayer layer;
    QRgb colour;
  } layers[] = {
      {BaseLayer::Lakes, kCoast},
      {BaseLayer::Rivers, kRiver},
      {BaseLayer::Borders, kBorder},
      {BaseLayer::Coastlines, kCoast},
  };
  p.save();
  p.translate(origin);
  p.setBrush(QColor::fromRgb(kWater));
  for (const auto& layer : layers) {
    // Cosmetic one-pixel pens: the fast way for a hundred thousand points.
    p.setPen(QPen(QColor::fromRgb(layer.colour), 0));
    for (const ProjectedShape& shape : base_.Shapes(layer.layer, Zoom())) {
      if (!shape.bounds.intersects(view) && !(shape.bounds.width() == 0 || shape.bounds.height() == 0)) {
        continue;
      }
      if (shape.filled) {
        p.drawPolygon(shape.points);
      } else {
        p.drawPolyline(shape.points);
      }
    }
  }
  p.restore();
}

void MapView::PaintTiles(QPainter& p) {
  if (tiles_ == nullptr) return;
  const WorldPoint topLeft = Port().TopLeft();
  const std::vector<TileId> tiles = TilesCovering(topLeft, width(), height(), Zoom());
  tiles_->Want(tiles);
  // The list runs row by row over the view's columns, unwrapped from the first.
  const auto firstColumn = static_cast<std::int64_t>(std::floor(topLeft.x / kTilePixels));
  const auto firstRow = std::max<std::int64_t>(static_cast<std::int64_t>(std::floor(topLeft.y / kTilePixels)), 0);
  const std::size_t perRow = tiles.empty() ? 1 : static_cast<std::size_t>(std::count_if(
      tiles.begin(), tiles.end(), [&](const TileId& t) { return t.y == tiles.front().y; }));
  for (std::size_t k = 0; k < tiles.size(); ++k) {
    const TileId& tile = tiles[k];
    const QImage* image = tiles_->Tile(tile);
    if (image == nullptr) continue;
    const auto column = firstColumn + static_cast<std::int64_t>(k % perRow);
    const auto row = firstRow + static_cast<std::int64_t>(k / perRow);
    const QPointF at(static_cast<double>(column * kTilePixels) - topLeft.x,
                     static_cast<double>(row * kTilePixels) - topLeft.y);
    p.drawImage(QRectF(at, QSizeF(kTilePixels, kTilePixels)), *image);
  }
}

void MapView::PaintGrid(QPainter& p) {
  const MapViewport port = Port();
  const GridStep step = StepsAt(port.Zoom());
  const GeoPoint nw = PointAt({0, 0});
  const GeoPoint se = PointAt(QPointF(width(), height()));
  double west = nw.longitude;
  double east = se.longitude;
  if (east <= west) east += 360;  // across the date line
  if (port.WorldSide() <= width()) {
    west = -180;
    east = 180;
  }
  const auto lines = [&](double lonStep, double latStep, QRgb colour, bool labels) {
    p.setPen(QPen(QColor::fromRgb(colour), 0.7));
    for (double lon = std::floor(west / lonStep) * lonStep; lon <= east; lon += lonStep) {
      const double x = ScreenOf({0, lon}).x();
      p.drawLine(QPointF(x, 0), QPointF(x, height()));
    }
    for (double lat = std::floor(se.latitude / latStep) * latStep; lat <= nw.latitude; lat += latStep) {
      const double y = ScreenOf({lat, 0}).y();
      p.drawLine(QPointF(0, y), QPointF(width(), y));
      if (!labels) continue;
      for (double lon = std::floor(west / lonStep) * lonStep; lon <= east; lon += lonStep) {
        const std::string name = MaidenheadFromPoint({lat + latStep / 2, lon + lonStep / 2}, step.locatorCharacters);
        if (!name.empty()) {
          p.drawText(ScreenOf({lat + latStep, lon}) + QPointF(3, 12), QString::fromStdString(name));
        }
      }
    }
  };
  lines(step.graticule, step.graticule, kGraticule, false);
  const double cellPixels = step.locatorLat / 180.0 * port.WorldSide();
  if (cellPixels > 24) lines(step.locatorLon, step.locatorLat, kLocatorGrid, cellPixels > 48);
}

MapTrackWish MapView::Wish() const { return {Zoom(), Now(), look_.trackMs, filter_}; }

void MapView::BuildTrackLines() {
  // Drawn into an image, the map wants its tracks now; on screen it keeps answering.
  if (tracks_.Update(Wish(), !isVisible()) && !sliceQueued_) {
    sliceQueued_ = true;
    QTimer::singleShot(0, this, &MapView::BuildSlice);
  }
}

void MapView::BuildSlice() {
  sliceQueued_ = false;
  if (!tracks_.Building()) return;
  tracks_.Project();
  if (tracks_.BuildBy(std::chrono::steady_clock::now() + kBuildSlice, Wish())) {
    update();
  } else {
    sliceQueued_ = true;
    QTimer::singleShot(0, this, &MapView::BuildSlice);
  }
}

void MapView::PaintTracks(QPainter& p) {
  BuildTrackLines();
  const MapViewport port = Port();
  const double side = port.WorldSide();
  const QPointF origin = Screen(port.WorldOrigin());
  // Another zoom's lines, until this one's are made, scaled to it.
  const MapTrackLines& lines = tracks_.Lines();
  const double scale = std::ldexp(1.0, port.Zoom() - tracks_.LinesZoom());
  const QRectF view = QRectF(rect()).adjusted(-2, -2, 2, 2);
  // A track reaches past its copy of the world where it crossed the date line.
  const int firstCopy = static_cast<int>(std::floor(-origin.x() / side)) - 1;
  const int lastCopy = static_cast<int>(std::floor((width() - origin.x()) / side)) + 1;
  std::vector<const MapTrackCell*> shown;
  std::vector<QPointF> shifts;
  for (const MapTrackCell& cell : lines.Cells()) {
    for (int copy = firstCopy; copy <= lastCopy; ++copy) {
      const QPointF shift = origin + QPointF(copy * side, 0);
      const QRectF bounds(QPointF(cell.bounds.topLeft()) * scale, QPointF(cell.bounds.bottomRight()) * scale);
      if (!bounds.translated(shift).adjusted(-1, -1, 1, 1).intersects(view)) continue;
      shown.push_back(&cell);
      shifts.push_back(shift);
    }
  }
  const std::vector<std::uint32_t> drawn = lines.Newest(shown, kTrackPixelsPerPaint);
  std::size_t perBand[kTrackFadeBands] = {};
  for (std::size_t k = 0; k < shown.size(); ++k) perBand[shown[k]->band] += drawn[k];
  int band = -1;
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (shown[k]->band != band) {
      band = shown[k]->band;
      // Past a few thousand lines only one-pixel pens keep a frame quick.
      QPen pen(FadedTrack(band), perBand[band] > kThickTrackLines ? 0 : 2);
      pen.setCosmetic(scale != 1);  // another zoom's lines keep their width
      p.setPen(pen);
    }
    if (drawn[k] == 0) continue;
    // A pure move keeps the painter on its quick path for lines.
    const QTransform move = QTransform::fromTranslate(shifts[k].x(), shifts[k].y());
    p.setTransform(scale == 1 ? move : QTransform::fromScale(scale, scale) * move);
    p.drawLines(lines.Lines(*shown[k]).data(), static_cast<int>(drawn[k]));
  }
  p.resetTransform();
}

void MapView::PaintStations(QPainter& p) {
  const QRectF view = QRectF(rect()).adjusted(-kSymbolPixels, -kSymbolPixels, kSymbolPixels, kSymbolPixels);
  std::vector<std::pair<QPointF, std::size_t>> shown;
  const MapViewport port = Port();
  for (std::size_t row = 0; row < stations_.Size(); ++row) {
    const MapStation& s = stations_.At(row);
    if (!Passes(s)) continue;
    const QPointF at = Screen(port.PixelOfFraction(tracks_.Last(row)));
    if (!view.contains(at)) continue;
    p.drawPixmap(at - QPointF(kSymbolPixels / 2.0, kSymbolPixels / 2.0),
                 symbols_.Of(s.last.symbolTable, s.last.symbolCode));
    shown.emplace_back(at, row);
  }
  PaintLabels(p, shown);
}

void MapView::PaintLabels(QPainter& p, std::vector<std::pair<QPointF, std::size_t>>& shown) {
  // The most recently heard first: where labels would overlap, theirs stay.
  std::sort(shown.begin(), shown.end(), [this](const auto& a, const auto& b) {
    return stations_.At(a.second).last.time > stations_.At(b.second).last.time;
  });
  labelled_.clear();
  // A row keeps its name: its label's width is measured once.
  if (labelWidths_.size() > stations_.Size()) labelWidths_.clear();
  labelWidths_.resize(stations_.Size(), kLabelUnmeasured);
  MapLabelSpace space(size());
  const QFontMetrics metrics(p.font());
  p.setPen(Qt::black);
  for (const auto& [at, row] : shown) {
    if (space.Count() >= kMaxLabels) break;
    const QPoint baseline = (at + QPointF(kSymbolPixels / 2.0 + 2, 4)).toPoint();
    const QPoint topLeft = baseline - QPoint(0, metrics.ascent());
    // Most labels in a crowd start where one is already: refused unmeasured.
    if (space.Overlaps(QRect(topLeft, QSize(1, metrics.height())))) continue;
    const QString name = QString::fromStdString(stations_.At(row).last.name);
    int& width = labelWidths_[row];
    if (width == kLabelUnmeasured) width = metrics.horizontalAdvance(name);
    if (!space.Take(QRect(topLeft, QSize(width, metrics.height())))) continue;
    p.drawText(baseline, name);
    labelled_.push_back(row);
  }
}

void MapView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) labelWidths_.clear();
  QWidget::changeEvent(event);
}

void MapView::PaintOwn(QPainter& p) {
  if (!look_.own) return;
  const QPointF at = ScreenOf(*look_.own);
  const double metres = MetresPerPixel(look_.own->latitude, Zoom());
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor::fromRgb(kRing), 1, Qt::DashLine));
  for (const double km : look_.ringsKm) {
    const double r = km * 1000 / metres;
    if (r < 4 || r > 4 * (width() + height())) continue;
    p.drawEllipse(at, r, r);
    p.drawText(at + QPointF(3, -r - 3), KmText(km));
  }
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor::fromRgb(kRing));
  p.drawEllipse(at, 5, 5);
}

void MapView::PaintScale(QPainter& p) {
  const double metres = MetresPerPixel(Centre().latitude, Zoom());
  const double most = 120 * metres;
  double length = std::pow(10.0, std::floor(std::log10(most)));
  for (const double factor : {5.0, 2.0}) {
    if (length * factor <= most) {
      length *= factor;
      break;
    }
  }
  const double pixels = length / metres;
  const QPointF start(12, height() - 36);
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(start, start + QPointF(pixels, 0));
  p.drawLine(start, start - QPointF(0, 5));
  p.drawLine(start + QPointF(pixels, 0), start + QPointF(pixels, -5));
  p.drawText(start + QPointF(0, -8), KmText(length / 1000));
}

void MapView::PaintTexts(QPainter& p) {
  const QFontMetrics metrics(p.font());
  const auto boxed = [&](const QString& text, QPointF at, Qt::Alignment align) {
    QRectF box = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
    box.moveTop(at.y());
    if (align & Qt::AlignRight) box.moveRight(at.x()); else box.moveLeft(at.x());
    p.fillRect(box, QColor(255, 255, 255, 200));
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
  };
  const double line = metrics.height() + 6;
  if (cursor_) boxed(PositionText(PointAt(*cursor_)), {4, height() - line}, Qt::AlignLeft);
  if (tiles_ != nullptr) boxed(kTileAttribution, QPointF(width() - 4, height() - line), Qt::AlignRight);
  if (!base_.Complete()) boxed(base_.Missing(), {4, 4}, Qt::AlignLeft);
}

void MapView::PanBy(QPointF pixels) {
  SizedPort().PanBy(pixels.x(), pixels.y());
  update();
}

void MapView::ZoomAround(int zoom, QPointF screen) {
  if (SizedPort().ZoomAround(zoom, Pixel(screen))) update();
}

void MapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressedAt_ = event->position();
  lastDrag_ = event->position();
  dragged_ = false;
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
  cursor_ = event->position();
  if (pressedAt_ && (event->buttons() & Qt::LeftButton)) {
    if ((event->position() - *pressedAt_).manhattanLength() > 3) dragged_ = true;
    if (dragged_) PanBy(event->position() - lastDrag_);
    lastDrag_ = event->position();
  }
  update();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressedAt_) return;
  pressedAt_.reset();
  if (dragged_) return;
  if (const auto row = StationAt(event->position())) emit StationClicked(*row);
}

void MapView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const auto row = StationAt(event->position())) emit StationDoubleClicked(*row);
}

void MapView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0) ZoomAround(Zoom() + steps, event->position());
}

void MapView::keyPressEvent(QKeyEvent* event) {
  const QPointF middle(width() / 2.0, height() / 2.0);
  switch (event->key()) {
    case Qt::Key_Left: PanBy({kPanStepPixels, 0}); break;
    case Qt::Key_Right: PanBy({-kPanStepPixels, 0}); break;
    case Qt::Key_Up: PanBy({0, kPanStepPixels}); break;
    case Qt::Key_Down: PanBy({0, -kPanStepPixels}); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: ZoomAround(Zoom() + 1, middle); break;
    case Qt::Key_Minus: ZoomAround(Zoom() - 1, middle); break;
    default: QWidget::keyPressEvent(event);
  }
}

void MapView::leaveEvent(QEvent*) {
  cursor_.reset();
  update();
}

}  // namespace vorlink
