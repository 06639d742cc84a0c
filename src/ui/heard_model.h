// The stations heard as a table model over the core's heard list: a
// station keeps its row, frames that arrive change its cells in place and
// new stations are rows added at the end, so a sorting proxy moves rows
// and the selection stays on its station. Catching up with the store goes
// a slice of frames at a time.
#pragma once

#include <QAbstractTableModel>

#include "store/frame_store.h"
#include "store/heard_columns.h"
#include "store/heard_list.h"

namespace vorlink {

inline constexpr std::size_t kHeardSliceFrames = 20'000;

class HeardModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What the sorting proxy compares.
  static constexpr int kSortRole = Qt::UserRole;

  explicit HeardModel(const FrameStore& store, QObject* parent = nullptr);

  // Takes up to a slice of the frames the store took since; true while
  // frames are left.
  bool CatchUp();
  QString Callsign(int row) const;
  // The point distance and bearing are measured from; none leaves them blank.
  void SetFrom(const HeardFrom& from);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const FrameStore& store_;
  HeardList heard_;
  HeardFrom from_;
  int rows_ = 0;  // rows shown; the list may hold more until they are announced
};

}  // namespace vorlink
