// The map's station list as a table model over the window's track store:
// a station keeps its row (the store's order), a new report changes its
// cells in place and new stations are rows added at the end, so a sorting
// proxy moves rows and the selection stays on its station. The filter
// proxy hides what the map hides.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <functional>
#include <optional>

#include "geo/track_store.h"
#include "geo/web_mercator.h"

namespace vorlink {

enum MapListColumn {
  kMapStationColumn,
  kMapDistanceColumn,
  kMapBearingColumn,
  kMapLastHeardColumn,
  kMapHeardColumn,
  kMapListColumns
};

// "direct" or "via digipeater".
QString MapHeardText(const StationReport& report);

class MapStationModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The store's row of a station, whatever the proxy made of it.
  static constexpr int kStoreRowRole = Qt::UserRole;

  explicit MapStationModel(const TrackStore& stations, QObject* parent = nullptr);

  // Announces the stations the store added since the last call, and the
  // rows it changed (TrackStore::TakeChanged).
  void Update(const std::vector<std::size_t>& changed);
  // Where distance and bearing are measured from; none leaves them blank.
  void SetOwn(const std::optional<GeoPoint>& own);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TrackStore& stations_;
  std::optional<GeoPoint> own_;
  int rows_ = 0;  // rows announced; the store may hold more
};

// Sorts the list and lets through the stations `passes` takes.
class MapStationFilter final : public QSortFilterProxyModel {
 public:
  MapStationFilter(std::function<bool(std::size_t)> passes, QObject* parent = nullptr);
  // The filter's settings changed: the rows are weighed again, the selection kept.
  void Refilter() { invalidateRowsFilter(); }

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  std::function<bool(std::size_t)> passes_;
};

}  // namespace vorlink
