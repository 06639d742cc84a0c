#include "ui/map_station_model.h"

#include <cmath>

#include "geo/geo_point.h"
#include "store/heard_list.h"
#include "ui/row_runs.h"

namespace vorlink {
namespace {

constexpr const char* kMapListTitles[kMapListColumns] = {"Station", "km", "Bearing", "Last heard", "Heard"};

}  // namespace

QString MapHeardText(const StationReport& report) { return report.direct ? "direct" : "via digipeater"; }

MapStationModel::MapStationModel(const TrackStore& stations, QObject* parent)
    : QAbstractTableModel(parent), stations_(stations) {}

void MapStationModel::Update(const std::vector<std::size_t>& changed) {
  if (stations_.Size() < static_cast<std::size_t>(rows_)) {
    // The store was cleared.
    beginResetModel();
    rows_ = static_cast<int>(stations_.Size());
    endResetModel();
    return;
  }
  ForEachRowRun(changed, static_cast<std::size_t>(rows_), [this](std::size_t first, std::size_t last) {
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), kMapListColumns - 1));
  });
  const auto size = static_cast<int>(stations_.Size());
  if (size > rows_) {
    beginInsertRows({}, rows_, size - 1);
    rows_ = size;
    endInsertRows();
  }
}

void MapStationModel::SetOwn(const std::optional<GeoPoint>& own) {
  own_ = own;
  if (rows_ > 0) emit dataChanged(index(0, kMapDistanceColumn), index(rows_ - 1, kMapBearingColumn));
}

int MapStationModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int MapStationModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kMapListColumns;
}

QVariant MapStationModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (role == kStoreRowRole) return QVariant::fromValue<qulonglong>(row);
  if (role != Qt::DisplayRole) return {};
  const StationReport& r = stations_.At(row).last;
  switch (index.column()) {
    case kMapStationColumn: return QString::fromStdString(r.name);
    case kMapDistanceColumn:
      if (!own_) return {};
      return std::round(DistanceKm(*own_, r.position) * 10) / 10;
    case kMapBearingColumn:
      if (!own_) return {};
      return static_cast<int>(std::lround(BearingDegrees(*own_, r.position))) % 360;
    case kMapLastHeardColumn: return QString::fromStdString(HeardTimeText(r.time));
    case kMapHeardColumn: return MapHeardText(r);
    default: return {};
  }
}

QVariant MapStationModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kMapListColumns) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString(kMapListTitles[section]);
}

MapStationFilter::MapStationFilter(std::function<bool(std::size_t)> passes, QObject* parent)
    : QSortFilterProxyModel(parent), passes_(std::move(passes)) {
  setDynamicSortFilter(true);
}

bool MapStationFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  return passes_(static_cast<std::size_t>(sourceRow));
}

}  // namespace vorlink
