// The APRS messages heard as a table model over the core's message list:
// time, from, to, text, message number and whether it was acked or
// rejected, oldest first. Rows that go when the list is full are removed
// from the top, new ones added at the bottom, answered ones changed in
// place. Messages to the station's own callsign are marked (bold).
#pragma once

#include <QAbstractTableModel>
#include <string>

#include "store/aprs_message_list.h"
#include "store/frame_store.h"

namespace vorlink {

inline constexpr std::size_t kMessageSliceFrames = 20'000;

enum class AprsMessageColumn { Time, From, To, Text, Number, State, Count };

class AprsMessagesModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit AprsMessagesModel(const FrameStore& store, QObject* parent = nullptr);

  // Takes up to a slice of the frames the store took since; true while
  // frames are left.
  bool CatchUp();
  void SetOwnCallsign(const std::string& callsign);
  bool ToOwnCallsign(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const AprsMessageEntry& Entry(int row) const;
  void DropGone();

  const FrameStore& store_;
  AprsMessageList list_;
  std::string callsign_;
  // Entry numbers of the rows shown: [first_, end_).
  std::uint64_t first_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace vorlink
