#include "ui/aprs_messages_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStringList>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/aprs_messages_model.h"
#include "ui/conversation_pane.h"

namespace vorlink {

namespace {
// Frames looked at for the To field's completion per refresh, so a long
// store is read in slices.
constexpr std::size_t kHeardSlice = 20'000;
}  // namespace

AprsMessagesWindow::AprsMessagesWindow(const FrameStore& store, MessageCenter* center,
                                       QWidget* parent)
    : QWidget(parent), store_(store) {
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
  auto* heardTab = new QWidget(this);
  auto* heardLayout = new QVBoxLayout(heardTab);
  heardLayout->addWidget(table_, 1);
  heardLayout->addWidget(count_);
  conversations_ = new ConversationPane(center, this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("AprsMessagesTabs");
  tabs_->addTab(conversations_, "Conversations");
  tabs_->addTab(heardTab, "All messages heard");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  resize(820, 480);

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
  OfferStationsHeard();
}

void AprsMessagesWindow::OfferStationsHeard() {
  const std::size_t before = heard_.Size();
  heard_.CatchUp(store_, kHeardSlice);
  heard_.TakeChanged();
  if (heard_.Size() == before && before != 0) return;
  QStringList stations;
  for (std::size_t row = 0; row < heard_.Size(); ++row) {
    stations << QString::fromStdString(heard_.At(row).callsign);
  }
  stations.sort();
  conversations_->SetStationsHeard(stations);
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
