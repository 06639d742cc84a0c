#include "ui/frame_detail_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "store/frame_detail.h"

namespace vorlink {
namespace {

constexpr int kLineRole = Qt::UserRole;  // the item's index in the lines

}  // namespace

FrameDetailPane::FrameDetailPane(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("FrameDetail");
  setColumnCount(2);
  setHeaderLabels({"Field", "Value"});
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformRowHeights(true);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void FrameDetailPane::Show(std::vector<AprsDetailLine> lines) {
  lines_ = std::move(lines);
  setUpdatesEnabled(false);
  clear();
  // The item last placed at each level, the parent of the next one deeper.
  std::vector<QTreeWidgetItem*> open;
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    const AprsDetailLine& line = lines_[k];
    const auto level = static_cast<std::size_t>(std::max(line.level, 0));
    open.resize(std::min(level, open.size()));
    auto* item = open.empty() ? new QTreeWidgetItem(this) : new QTreeWidgetItem(open.back());
    item->setText(0, QString::fromStdString(line.label));
    item->setText(1, QString::fromStdString(line.value));
    item->setData(0, kLineRole, static_cast<qulonglong>(k));
    open.push_back(item);
  }
  expandAll();
  setUpdatesEnabled(true);
}

void FrameDetailPane::Clear() { Show({}); }

QString FrameDetailPane::CopyText() const {
  std::vector<std::size_t> picked;
  for (const QTreeWidgetItem* item : selectedItems()) {
    picked.push_back(item->data(0, kLineRole).toULongLong());
  }
  if (picked.empty()) return QString::fromStdString(DetailText(lines_));
  std::sort(picked.begin(), picked.end());
  std::vector<AprsDetailLine> lines;
  for (const std::size_t k : picked) lines.push_back(lines_[k]);
  return QString::fromStdString(DetailText(lines));
}

void FrameDetailPane::Copy() const { QApplication::clipboard()->setText(CopyText()); }

void FrameDetailPane::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void FrameDetailPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction("Copy", this, &FrameDetailPane::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(!lines_.empty());
  menu.exec(event->globalPos());
}

}  // namespace vorlink
