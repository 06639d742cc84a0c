#include "ui/messages_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vorlink {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 320;

}  // namespace

MessagesWindow::MessagesWindow(MessageLog& log, QWidget* parent) : QWidget(parent), log_(log) {
  setObjectName("Messages");
  setWindowTitle("Messages");
  lines_ = new QPlainTextEdit(this);
  lines_->setObjectName("MessageLines");
  lines_->setReadOnly(true);
  lines_->setLineWrapMode(QPlainTextEdit::NoWrap);
  lines_->setUndoRedoEnabled(false);
  lines_->setMaximumBlockCount(static_cast<int>(kMessagesKept));
  lines_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lines_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lines_);
  resize(kWidth, kHeight);

  QStringList all;
  for (const MessageLog::Line& line : log_.Lines()) all << QString::fromStdString(line);
  lines_->setPlainText(all.join('\n'));
  lines_->verticalScrollBar()->setValue(lines_->verticalScrollBar()->maximum());
  log_.SetListener([this](const MessageLog::Line& line) { Append(line); });
}

MessagesWindow::~MessagesWindow() { log_.SetListener(nullptr); }

void MessagesWindow::Append(const MessageLog::Line& line) {
  QScrollBar* bar = lines_->verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum();
  lines_->appendPlainText(QString::fromStdString(line));
  if (atEnd) bar->setValue(bar->maximum());
}

}  // namespace vorlink
