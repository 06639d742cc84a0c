#include "ui/session_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "app/link_state_line.h"
#include "ui/window_look.h"

namespace vorlink {
namespace {

constexpr int kSessionShownColumns = 80;
constexpr int kSessionShownLines = 24;
// An input line longer than this is no line a BBS reads.
constexpr int kMaxInputLength = 1024;

QColor RoleColour(SessionRole role) {
  switch (role) {
    case SessionRole::Sent:
      return {0x00, 0x00, 0xC0};
    case SessionRole::Note:
      return {0x70, 0x70, 0x70};
    case SessionRole::Received:
      break;
  }
  return Qt::black;
}

QTextCharFormat RoleFormat(SessionRole role) {
  QTextCharFormat format;
  format.setForeground(RoleColour(role));
  return format;
}

QString LineOutcomeText(LineOutcome outcome) {
  switch (outcome) {
    case LineOutcome::NotConnected:
      return "Not sent: the link is not connected";
    case LineOutcome::QueueFull:
      return "Not sent: the link's send queue is full";
    case LineOutcome::Sent:
      break;
  }
  return {};
}

}  // namespace

SessionWindow::SessionWindow(LinkSessions& sessions, SessionNumber session, QWidget* parent)
    : QWidget(parent), sessions_(sessions), session_(session) {
  setObjectName("SessionWindow");
  text_ = new QPlainTextEdit;
  text_->setObjectName("SessionText");
  text_->setReadOnly(true);
  text_->setUndoRedoEnabled(false);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setMaximumBlockCount(static_cast<int>(kSessionLinesKept) + 1);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  input_ = new QLineEdit;
  input_->setObjectName("SessionInput");
  input_->setMaxLength(kMaxInputLength);
  input_->setFont(text_->font());
  disconnect_ = new QPushButton("&Disconnect");
  disconnect_->setObjectName("SessionDisconnect");
  stateLine_ = new QPushButton;
  stateLine_->setObjectName("SessionState");
  stateLine_->setFlat(true);
  stateLine_->setStyleSheet("text-align: left");
  stateLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  stateLine_->setToolTip("Click: this link's frames in the frame browser");
  notice_ = new QLabel;
  notice_->setObjectName("SessionNotice");

  auto* inputRow = new QHBoxLayout;
  inputRow->addWidget(input_, 1);
  inputRow->addWidget(disconnect_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addLayout(inputRow);
  layout->addWidget(notice_);
  layout->addWidget(stateLine_);

  connect(input_, &QLineEdit::returnPressed, this, &SessionWindow::SendLine);
  connect(disconnect_, &QPushButton::clicked, this, [this] { sessions_.Disconnect(session_); });
  connect(stateLine_, &QPushButton::clicked, this, [this] {
    if (const LinkSession* s = sessions_.Find(session_)) {
      emit FramesWanted(ToQString(CallsignText(s->id.own)), ToQString(CallsignText(s->id.remote)));
    }
  });
  Refresh();
}

QSize SessionWindow::sizeHint() const {
  const QFontMetrics metrics(text_->font());
  return {metrics.horizontalAdvance(QString(kSessionShownColumns, '0')) + 40,
          metrics.lineSpacing() * kSessionShownLines + 80};
}

void SessionWindow::SendLine() {
  const LineOutcome outcome = sessions_.SendLine(session_, input_->text().toStdString());
  notice_->setText(LineOutcomeText(outcome));
  if (outcome == LineOutcome::Sent) input_->clear();
}

void SessionWindow::ShowText(const LinkSession& s) {
  QScrollBar* bar = text_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  QTextCursor cursor(text_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  const auto& lines = s.text.Lines();
  const std::uint64_t from = std::max(shownEnd_, s.text.FirstNumber());
  for (std::uint64_t n = from; n < s.text.EndNumber(); ++n) {
    const SessionLine& line = lines[static_cast<std::size_t>(n - s.text.FirstNumber())];
    cursor.insertText(ToQString(line.text), RoleFormat(line.role));
    cursor.insertBlock();
  }
  shownEnd_ = s.text.EndNumber();
  cursor.insertText(ToQString(s.text.PendingText()), RoleFormat(SessionRole::Received));
  if (atEnd) bar->setValue(bar->maximum());
}

void SessionWindow::Refresh() {
  const LinkSession* s = sessions_.Find(session_);
  if (s == nullptr) {
    input_->setEnabled(false);
    disconnect_->setEnabled(false);
    return;
  }
  const QString remote = ToQString(CallsignText(s->id.remote));
  setWindowTitle(s->incoming ? remote + " (connected to us)" : remote);
  ShowText(*s);
  stateLine_->setText(ToQString(LinkStateLine(s->snapshot)));
  disconnect_->setEnabled(s->live);
  input_->setEnabled(s->live);
}

void SessionWindow::closeEvent(QCloseEvent* event) {
  emit Closing(session_);
  event->accept();
}

}  // namespace vorlink
