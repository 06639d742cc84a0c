// The offline base map: coastlines, land borders, lakes and rivers of the
// Natural Earth 1:50,000,000 layers the marble-qt-data package installs,
// read once, projected to Web Mercator pixels and kept per zoom level so a
// frame only moves them. Longitudes are unwound along each shape, so one
// that crosses the date line runs on past the world's edge and the map
// draws it again one world to the side.
#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <array>
#include <filesystem>
#include <map>
#include <vector>

#include "geo/pn2_reader.h"

namespace vorlink {

inline constexpr const char* kBaseMapFolder = "/usr/share/marble/data/naturalearth";
inline constexpr const char* kBaseMapPackage = "marble-qt-data";

enum class BaseLayer { Coastlines, Borders, Lakes, Rivers };
inline constexpr int kBaseLayers = 4;

struct ProjectedShape {
  QRectF bounds;
  QPolygonF points;
  bool filled = false;  // a lake's outline
};

class BaseMap {
 public:
  explicit BaseMap(const std::filesystem::path& folder = kBaseMapFolder);
  bool Complete() const { return missing_.isEmpty(); }
  // What could not be read, for the operator; empty when the whole map is there.
  QString Missing() const { return missing_; }
  // The layer's shapes in world pixels at a zoom, projected on first use.
  const std::vector<ProjectedShape>& Shapes(BaseLayer layer, int zoom);
  std::size_t Points() const;

 private:
  std::array<Pn2File, kBaseLayers> layers_;
  std::map<int, std::array<std::vector<ProjectedShape>, kBaseLayers>> projected_;
  QString missing_;
};

}  // namespace vorlink
