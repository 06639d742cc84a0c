#include "ui/base_map.h"

#include <cmath>

#include "geo/web_mercator.h"

namespace vorlink {
namespace {

constexpr const char* kLayerFiles[kBaseLayers] = {
    "ne_50m_coastline.pn2",
    "ne_50m_admin_0_boundary_lines_land.pn2",
    "ne_50m_lakes.pn2",
    "ne_50m_rivers_lake_centerlines.pn2",
};
// Projected shapes are kept for this many zoom levels, the latest used.
constexpr std::size_t kZoomsKept = 4;

ProjectedShape Project(const Pn2Shape& shape, int zoom) {
  ProjectedShape out;
  out.filled = shape.kind != Pn2Kind::Line;
  out.points.reserve(static_cast<qsizetype>(shape.points.size()));
  const double world = WorldPixels(zoom);
  double shift = 0;  // whole worlds added to keep each step short
  double previous = 0;
  for (std::size_t i = 0; i < shape.points.size(); ++i) {
    const WorldPoint w = ToWorld(shape.points[i], zoom);
    if (i > 0) {
      const double step = w.x + shift - previous;
      if (step > world / 2) shift -= world;
      if (step < -world / 2) shift += world;
    }
    previous = w.x + shift;
    out.points.append(QPointF(previous, w.y));
  }
  out.bounds = out.points.boundingRect();
  return out;
}

}  // namespace

BaseMap::BaseMap(const std::filesystem::path& folder) {
  QStringList missing;
  for (int k = 0; k < kBaseLayers; ++k) {
    layers_[k] = ReadPn2File(folder / kLayerFiles[k]);
    if (!layers_[k].error.empty()) missing << QString::fromStdString(layers_[k].error);
  }
  if (!missing.isEmpty()) {
    missing_ = QString("No offline base map (install %1): %2").arg(kBaseMapPackage, missing.first());
  }
}

std::size_t BaseMap::Points() const {
  std::size_t points = 0;
  for (const Pn2File& layer : layers_) points += layer.points;
  return points;
}

const std::vector<ProjectedShape>& BaseMap::Shapes(BaseLayer layer, int zoom) {
  auto it = projected_.find(zoom);
  if (it == projected_.end()) {
    if (projected_.size() >= kZoomsKept) {
      // The zoom furthest from the new one goes.
      auto far = projected_.begin();
      if (std::abs(projected_.rbegin()->first - zoom) > std::abs(far->first - zoom)) {
        far = std::prev(projected_.end());
      }
      projected_.erase(far);
    }
    it = projected_.emplace(zoom, std::array<std::vector<ProjectedShape>, kBaseLayers>{}).first;
    for (int k = 0; k < kBaseLayers; ++k) {
      for (const Pn2Shape& shape : layers_[k].shapes) it->second[k].push_back(Project(shape, zoom));
    }
  }
  return it->second[static_cast<int>(layer)];
}

}  // namespace vorlink
