#include "ui/aprs_messages_model.h"

#include <QFont>
#include <algorithm>
#include <array>

#include "store/heard_list.h"

namespace vorlink {
namespace {

constexpr std::array<const char*, static_cast<std::size_t>(AprsMessageColumn::Count)> kTitles{
    "Time (UTC)", "From", "To", "Text", "Number", "State"};

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

AprsMessagesModel::AprsMessagesModel(const FrameStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

void AprsMessagesModel::DropGone() {
  const std::uint64_t first = list_.FirstNumber();
  if (first <= first_) return;
  const std::uint64_t gone = std::min(first, end_) - first_;
  if (gone > 0) {
    beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
    first_ += gone;
    endRemoveRows();
  }
  first_ = std::max(first_, first);
  end_ = std::max(end_, first_);
}

bool AprsMessagesModel::CatchUp() {
  const bool more = list_.CatchUp(store_, kMessageSliceFrames);
  DropGone();
  const int last = static_cast<int>(AprsMessageColumn::Count) - 1;
  for (const std::uint64_t number : list_.TakeChanged()) {
    if (number < first_ || number >= end_) continue;
    const int row = static_cast<int>(number - first_);
    emit dataChanged(index(row, 0), index(row, last));
  }
  const std::uint64_t end = list_.FirstNumber() + list_.Size();
  if (end > end_) {
    beginInsertRows({}, rowCount(), rowCount() + static_cast<int>(end - end_) - 1);
    end_ = end;
    endInsertRows();
  }
  return more;
}

void AprsMessagesModel::SetOwnCallsign(const std::string& callsign) {
  if (callsign == callsign_) return;
  callsign_ = callsign;
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

const AprsMessageEntry& AprsMessagesModel::Entry(int row) const {
  return list_.At(static_cast<std::size_t>(first_ + static_cast<std::uint64_t>(row) -
                                           list_.FirstNumber()));
}

bool AprsMessagesModel::ToOwnCallsign(int row) const {
  return row >= 0 && row < rowCount() && AddressedTo(Entry(row), callsign_);
}

int AprsMessagesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(end_ - first_);
}

int AprsMessagesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(AprsMessageColumn::Count);
}

QVariant AprsMessagesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const AprsMessageEntry& e = Entry(index.row());
  if (role == Qt::FontRole && AddressedTo(e, callsign_)) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role != Qt::DisplayRole) return {};
  switch (static_cast<AprsMessageColumn>(index.column())) {
    case AprsMessageColumn::Time: return Text(HeardTimeText(e.time));
    case AprsMessageColumn::From: return Text(e.from);
    case AprsMessageColumn::To: return Text(e.to);
    case AprsMessageColumn::Text: return Text(e.text);
    case AprsMessageColumn::Number: return Text(e.number);
    case AprsMessageColumn::State: return Text(std::string(AprsMessageStateText(e.state)));
    case AprsMessageColumn::Count: break;
  }
  return {};
}

QVariant AprsMessagesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  return QString(kTitles[static_cast<std::size_t>(section)]);
}

}  // namespace vorlink
