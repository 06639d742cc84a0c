#include "ui/heard_model.h"

#include "ui/row_runs.h"

namespace vorlink {

HeardModel::HeardModel(const FrameStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

bool HeardModel::CatchUp() {
  // Every frame counted is gone: the store was cleared.
  if (heard_.Size() > 0 && store_.FirstIndex() >= heard_.NextFrame()) {
    beginResetModel();
    heard_.Clear();
    rows_ = 0;
    endResetModel();
  }
  const bool more = heard_.CatchUp(store_, kHeardSliceFrames);
  const std::vector<std::size_t> changed = heard_.TakeChanged();
  const auto last = static_cast<int>(kHeardColumns.size()) - 1;
  ForEachRowRun(changed, static_cast<std::size_t>(rows_), [this, last](std::size_t first, std::size_t end) {
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(end), last));
  });
  const auto size = static_cast<int>(heard_.Size());
  if (size > rows_) {
    beginInsertRows({}, rows_, size - 1);
    rows_ = size;
    endInsertRows();
  }
  return more;
}

QString HeardModel::Callsign(int row) const {
  if (row < 0 || row >= rows_) return {};
  return QString::fromStdString(heard_.At(static_cast<std::size_t>(row)).callsign);
}

void HeardModel::SetFrom(const HeardFrom& from) {
  if (from == from_) return;
  from_ = from;
  if (rows_ > 0) {
    emit dataChanged(index(0, kHeardDistanceColumn), index(rows_ - 1, kHeardBearingColumn));
  }
}

int HeardModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int HeardModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kHeardColumns.size());
}

QVariant HeardModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const HeardColumn& column = kHeardColumns[static_cast<std::size_t>(index.column())];
  const HeardStation& station = heard_.At(static_cast<std::size_t>(index.row()));
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(column.text(station, from_));
    case kSortRole:
      if (column.key) return static_cast<qlonglong>(column.key(station, from_));
      return QString::fromStdString(column.text(station, from_));
    case Qt::TextAlignmentRole:
      return column.align == HeardAlign::Right ? int{Qt::AlignRight | Qt::AlignVCenter}
                                               : int{Qt::AlignLeft | Qt::AlignVCenter};
    default:
      return {};
  }
}

QVariant HeardModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= static_cast<int>(kHeardColumns.size())) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString(kHeardColumns[static_cast<std::size_t>(section)].title);
}

}  // namespace vorlink
