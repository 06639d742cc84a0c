// What a map view shows of the Web Mercator world: the point at its centre
// (kept as a fraction of the world square), the zoom and the view's size in
// pixels, and the arithmetic between the view's pixels and degrees, so that
// pan and zoom are tested without a window. East and west wrap round the
// date line; the centre stops at the square's north and south edges.
#pragma once

#include "geo/geo_point.h"
#include "geo/web_mercator.h"

namespace vorlink {

inline constexpr int kDefaultMapZoom = 2;

// A point as a fraction of the world square: x from the date line east, y
// from the north edge south, both 0..1.
WorldPoint WorldFraction(GeoPoint point);

// Pixels from the view's top left corner, right and down.
struct ViewPixel {
  double x = 0;
  double y = 0;
};

class MapViewport {
 public:
  void Resize(double width, double height);
  double Width() const { return width_; }
  double Height() const { return height_; }

  int Zoom() const { return zoom_; }
  // Clamped to the map's zooms.
  void SetZoom(int zoom);
  // The world square's side at the zoom, in pixels.
  double WorldSide() const;

  WorldPoint CentreFraction() const { return centre_; }
  GeoPoint Centre() const;
  void CentreOn(GeoPoint point);

  // Where a point is in the view, on the copy of the world nearest the centre.
  ViewPixel PixelOfFraction(WorldPoint fraction) const;
  ViewPixel PixelOf(GeoPoint point) const;
  GeoPoint PointAt(ViewPixel pixel) const;
  // The top left corner of the centre's copy of the world, in view pixels.
  ViewPixel WorldOrigin() const;
  // The view's top left corner in world pixels.
  WorldPoint TopLeft() const;

  // The map dragged by (dx, dy) pixels: what was under the pointer follows it.
  void PanBy(double dx, double dy);
  // To another zoom with the point under `pixel` kept under it; false when
  // the zoom (clamped) stays as it is.
  bool ZoomAround(int zoom, ViewPixel pixel);
  // Centred on the box from south-west to north-east at the closest zoom
  // that holds it with `margin` pixels to spare.
  void Fit(GeoPoint southWest, GeoPoint northEast, double margin);

 private:
  double width_ = 0;
  double height_ = 0;
  WorldPoint centre_{0.5, 0.5};
  int zoom_ = kDefaultMapZoom;
};

}  // namespace vorlink
