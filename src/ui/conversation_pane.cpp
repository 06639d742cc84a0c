#include "ui/conversation_pane.h"

#include <QCompleter>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStringListModel>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "aprs/message_center.h"
#include "aprs/message_line.h"

namespace vorlink {
namespace {

constexpr int kStateRefreshMs = 1000;  // "next in 15 s" counts down
constexpr int kKeyRole = Qt::UserRole;
constexpr int kMaxBulletinMinutes = 24 * 60;
constexpr int kDefaultBulletinMinutes = 60;
const QString kBulletinsEntry = "Bulletins";

QString ClockTime(const DateTime& t) {
  return QString("%1:%2:%3")
      .arg(t.hour, 2, 10, QChar('0'))
      .arg(t.minute, 2, 10, QChar('0'))
      .arg(t.second, 2, 10, QChar('0'));
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

void SetRow(QTableWidget& table, int row, const QStringList& cells, std::uint64_t key) {
  for (int column = 0; column < cells.size(); ++column) {
    auto* item = new QTableWidgetItem(cells[column]);
    item->setData(kKeyRole, QVariant::fromValue<qulonglong>(key));
    table.setItem(row, column, item);
  }
}

}  // namespace

ConversationPane::ConversationPane(MessageCenter* center, QWidget* parent)
    : QWidget(parent), center_(center) {
  setObjectName("ConversationPane");
  list_ = new QListWidget(this);
  list_->setObjectName("ConversationList");
  thread_ = new QTableWidget(0, static_cast<int>(ThreadColumn::Count), this);
  thread_->setObjectName("ConversationThread");
  thread_->setHorizontalHeaderLabels({"Time", "From", "Text", "State"});
  thread_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  thread_->setSelectionBehavior(QAbstractItemView::SelectRows);
  thread_->setSelectionMode(QAbstractItemView::SingleSelection);
  thread_->verticalHeader()->hide();
  thread_->horizontalHeader()->setSectionResizeMode(static_cast<int>(ThreadColumn::Text),
                                                    QHeaderView::Stretch);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(list_);
  splitter->addWidget(thread_);
  splitter->setStretchFactor(1, 3);

  to_ = new QLineEdit(this);
  to_->setObjectName("MessageTo");
  to_->setPlaceholderText("CALL-SSID, or BLN0..BLNZ");
  completions_ = new QStringListModel(this);
  auto* completer = new QCompleter(completions_, this);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  to_->setCompleter(completer);
  text_ = new QLineEdit(this);
  text_->setObjectName("MessageText");
  text_->setMaxLength(static_cast<int>(kMaxMessageTextLength));
  counter_ = new QLabel(this);
  counter_->setObjectName("MessageCounter");
  bulletinMinutes_ = new QSpinBox(this);
  bulletinMinutes_->setObjectName("BulletinMinutes");
  bulletinMinutes_->setRange(1, kMaxBulletinMinutes);
  bulletinMinutes_->setValue(kDefaultBulletinMinutes);
  bulletinMinutes_->setSuffix(" min");
  bulletinMinutes_->setToolTip("How long a bulletin or announcement is repeated");
  send_ = new QPushButton("Send", this);
  send_->setObjectName("MessageSend");
  send_->setDefault(true);
  retry_ = new QPushButton("Retry now", this);
  retry_->setObjectName("MessageRetry");
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setObjectName("MessageCancel");
  problem_ = new QLabel(this);
  problem_->setObjectName("MessageProblem");

  auto* form = new QGridLayout;
  form->addWidget(new QLabel("To:", this), 0, 0);
  form->addWidget(to_, 0, 1);
  form->addWidget(new QLabel("Bulletin for:", this), 0, 2);
  form->addWidget(bulletinMinutes_, 0, 3);
  form->addWidget(new QLabel("Text:", this), 1, 0);
  form->addWidget(text_, 1, 1, 1, 3);
  form->addWidget(counter_, 1, 4);
  form->addWidget(send_, 1, 5);
  auto* lineButtons = new QHBoxLayout;
  lineButtons->addWidget(problem_, 1);
  lineButtons->addWidget(retry_);
  lineButtons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addLayout(lineButtons);
  layout->addLayout(form);

  connect(text_, &QLineEdit::textChanged, this, &ConversationPane::ShowCount);
  connect(text_, &QLineEdit::returnPressed, this, &ConversationPane::Send);
  connect(send_, &QPushButton::clicked, this, &ConversationPane::Send);
  connect(retry_, &QPushButton::clicked, this, &ConversationPane::RetrySelected);
  connect(cancel_, &QPushButton::clicked, this, &ConversationPane::CancelSelected);
  connect(list_, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (filling_ || text.isEmpty()) return;
    ShowConversation(text == kBulletinsEntry ? QString() : text.section(' ', 0, 0));
  });
  timer_ = new QTimer(this);
  timer_->setInterval(kStateRefreshMs);
  connect(timer_, &QTimer::timeout, this, &ConversationPane::Refresh);
  timer_->start();
  if (center_) center_->SetChangeListener([this] { Refresh(); });
  ShowCount();
  Refresh();
}

ConversationPane::~ConversationPane() {
  if (center_) center_->SetChangeListener({});
}

void ConversationPane::SetStationsHeard(const QStringList& stations) {
  if (completions_->stringList() != stations) completions_->setStringList(stations);
}

void ConversationPane::ShowCount() {
  counter_->setText(QString("%1/%2").arg(text_->text().size()).arg(kMaxMessageTextLength));
}

void ConversationPane::ShowConversation(const QString& station) {
  shown_ = station;
  if (!station.isEmpty()) {
    to_->setText(station);
    if (center_) center_->MarkRead(station.toStdString());
  }
  Refresh();
}

void ConversationPane::Refresh() {
  FillList();
  if (shown_.isEmpty()) {
    FillBulletins();
  } else {
    FillThread();
  }
}

void ConversationPane::FillList() {
  filling_ = true;
  QStringList entries{kBulletinsEntry};
  std::vector<bool> unread{false};
  if (center_) {
    for (const Conversation& c : center_->Conversations()) {
      entries << Q(c.station);
      unread.push_back(c.unread);
    }
  }
  while (list_->count() > entries.size()) delete list_->takeItem(list_->count() - 1);
  for (int row = 0; row < entries.size(); ++row) {
    if (row >= list_->count()) list_->addItem(entries[row]);
    QListWidgetItem* item = list_->item(row);
    if (item->text() != entries[row]) item->setText(entries[row]);
    QFont font = item->font();
    font.setBold(unread[static_cast<std::size_t>(row)]);
    item->setFont(font);
    const QString name = row == 0 ? QString() : entries[row];
    if (name == shown_ && list_->currentRow() != row) list_->setCurrentRow(row);
  }
  filling_ = false;
}

void ConversationPane::FillThread() {
  const Conversation* c = center_ ? center_->Find(shown_.toStdString()) : nullptr;
  const std::uint64_t selected = SelectedKey();
  const int rows = c ? static_cast<int>(c->lines.size()) : 0;
  thread_->setRowCount(rows);
  const QString own = center_ ? Q(center_->OwnCallsign()) : QString();
  for (int row = 0; row < rows; ++row) {
    const ThreadLine& l = c->lines[static_cast<std::size_t>(row)];
    SetRow(*thread_, row,
           {ClockTime(l.time), l.ours ? own : Q(c->station), Q(l.text), Q(center_->StateText(l))},
           l.key);
    if (l.key == selected) thread_->selectRow(row);
  }
}

void ConversationPane::FillBulletins() {
  const int rows = center_ ? static_cast<int>(center_->Bulletins().size()) : 0;
  const std::uint64_t selected = SelectedKey();
  thread_->setRowCount(rows);
  for (int row = 0; row < rows; ++row) {
    const Bulletin& b = center_->Bulletins()[static_cast<std::size_t>(row)];
    SetRow(*thread_, row,
           {ClockTime(b.started), Q(b.addressee), Q(b.text), Q(center_->BulletinStateText(b))},
           b.key);
    if (b.key == selected) thread_->selectRow(row);
  }
}

std::uint64_t ConversationPane::SelectedKey() const {
  const QTableWidgetItem* item = thread_->currentItem();
  if (!item || thread_->selectedItems().isEmpty()) return 0;
  return item->data(kKeyRole).toULongLong();
}

void ConversationPane::Send() {
  if (!center_) {
    problem_->setText("Not sent: sending is not set up");
    return;
  }
  const std::string to = to_->text().trimmed().toUpper().toStdString();
  const std::string text = text_->text().toStdString();
  const bool bulletin = IsBulletinAddressee(to);
  const LineSendOutcome outcome =
      bulletin ? center_->SendBulletin(to, text, std::chrono::minutes(bulletinMinutes_->value()))
               : center_->Send(to, text);
  if (!outcome.Taken()) {
    problem_->setText("Not sent: " + Q(outcome.problem));
    return;
  }
  problem_->clear();
  text_->clear();
  ShowConversation(bulletin ? QString() : Q(to));
  const ThreadLine* line = center_->Line(outcome.key);
  if (line && line->refused) problem_->setText(Q(center_->StateText(*line)));
}

void ConversationPane::RetrySelected() {
  if (center_ && !shown_.isEmpty()) center_->RetryNow(SelectedKey());
}

void ConversationPane::CancelSelected() {
  if (!center_) return;
  if (shown_.isEmpty()) {
    center_->StopBulletin(SelectedKey());
  } else {
    center_->Cancel(SelectedKey());
  }
}

}  // namespace vorlink
