#include "ui/aprs_messages_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/aprs_messages_model.h"

namespace vorlink {

AprsMessagesWindow::AprsMessagesWindow(const FrameStore& store, QWidget* parent)
    : QWidget(parent) {
  setObjectName("AprsMessagesWindow");
  setWindowTitle("APRS Messages");
  model_ = new AprsMessagesModel(store, this);
  table_ = new QTableView(this);
  table_->setObjectName("AprsMessagesTable");
  table_->setModel(model_);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(false);
  table_->horizontalHeader()->setSectionResizeMode(static_cast<int>(AprsMessageColumn::Text),
                                                   QHeaderView::Stretch);
  count_ = new QLabel(this);
  count_->setObjectName("AprsMessagesCount");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(count_);
  resize(820, 420);

  // New rows keep the view at the bottom only while it was there.
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
    QScrollBar* bar = table_->verticalScrollBar();
    if (bar->value() >= bar->maximum() - 1) QTimer::singleShot(0, table_, &QTableView::scrollToBottom);
  });
  timer_ = new QTimer(this);
  timer_->setInterval(kAprsMessagesRefreshMs);
  connect(timer_, &QTimer::timeout, this, &AprsMessagesWindow::Refresh);
  timer_->start();
  catchUp_ = new QTimer(this);
  catchUp_->setInterval(0);
  connect(catchUp_, &QTimer::timeout, this, &AprsMessagesWindow::Refresh);
  Refresh();
}

void AprsMessagesWindow::Refresh() {
  if (model_->CatchUp()) {
    catchUp_->start();
  } else {
    catchUp_->stop();
  }
  ShowCount();
}

bool AprsMessagesWindow::CatchingUp() const { return catchUp_->isActive(); }

void AprsMessagesWindow::SetOwnCallsign(const std::string& callsign) {
  callsign_ = callsign;
  model_->SetOwnCallsign(callsign);
  ShowCount();
}

void AprsMessagesWindow::ShowCount() {
  int own = 0;
  for (int row = 0; row < model_->rowCount(); ++row) own += model_->ToOwnCallsign(row) ? 1 : 0;
  QString text = QString("%1 messages").arg(model_->rowCount());
  if (!callsign_.empty()) {
    text += QString(", %1 to %2").arg(own).arg(QString::fromStdString(callsign_));
  }
  count_->setText(text);
}

}  // namespace vorlink
