#include "geo/map_viewport.h"

#include <algorithm>
#include <cmath>

namespace vorlink {

WorldPoint WorldFraction(GeoPoint point) {
  const WorldPoint w = ToWorld(point, 0);
  return {w.x / kTilePixels, w.y / kTilePixels};
}

void MapViewport::Resize(double width, double height) {
  width_ = width;
  height_ = height;
}

void MapViewport::SetZoom(int zoom) { zoom_ = std::clamp(zoom, kMinMapZoom, kMaxMapZoom); }

double MapViewport::WorldSide() const { return WorldPixels(zoom_); }

GeoPoint MapViewport::Centre() const { return FromWorld({centre_.x * WorldSide(), centre_.y * WorldSide()}, zoom_); }

void MapViewport::CentreOn(GeoPoint point) { centre_ = WorldFraction(point); }

ViewPixel MapViewport::PixelOfFraction(WorldPoint fraction) const {
  double dx = fraction.x - centre_.x;
  dx -= std::round(dx);  // the nearest copy of the world
  return {width_ / 2.0 + dx * WorldSide(), height_ / 2.0 + (fraction.y - centre_.y) * WorldSide()};
}

ViewPixel MapViewport::PixelOf(GeoPoint point) const { return PixelOfFraction(WorldFraction(point)); }

GeoPoint MapViewport::PointAt(ViewPixel pixel) const {
  const double side = WorldSide();
  return FromWorld({(centre_.x + (pixel.x - width_ / 2.0) / side) * side,
                    (centre_.y + (pixel.y - height_ / 2.0) / side) * side},
                   zoom_);
}

ViewPixel MapViewport::WorldOrigin() const {
  const double side = WorldSide();
  return {width_ / 2.0 - centre_.x * side, height_ / 2.0 - centre_.y * side};
}

WorldPoint MapViewport::TopLeft() const {
  const double side = WorldSide();
  return {centre_.x * side - width_ / 2.0, centre_.y * side - height_ / 2.0};
}

void MapViewport::PanBy(double dx, double dy) {
  centre_.x -= dx / WorldSide();
  centre_.x -= std::floor(centre_.x);
  centre_.y = std::clamp(centre_.y - dy / WorldSide(), 0.0, 1.0);
}

bool MapViewport::ZoomAround(int zoom, ViewPixel pixel) {
  zoom = std::clamp(zoom, kMinMapZoom, kMaxMapZoom);
  if (zoom == zoom_) return false;
  const double offsetX = pixel.x - width_ / 2.0, offsetY = pixel.y - height_ / 2.0;
  const WorldPoint under{centre_.x + offsetX / WorldSide(), centre_.y + offsetY / WorldSide()};
  zoom_ = zoom;
  centre_ = {under.x - offsetX / WorldSide(), std::clamp(under.y - offsetY / WorldSide(), 0.0, 1.0)};
  centre_.x -= std::floor(centre_.x);
  return true;
}

void MapViewport::Fit(GeoPoint southWest, GeoPoint northEast, double margin) {
  SetZoom(ZoomToFit(southWest, northEast, width_ - margin, height_ - margin));
  const WorldPoint sw = WorldFraction(southWest);
  const WorldPoint ne = WorldFraction(northEast);
  centre_ = {(sw.x + ne.x) / 2, (sw.y + ne.y) / 2};
}

}  // namespace vorlink
