#include "ui/messages_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace vorlink {
namespace {

// A line of the time and a status text of a usual length, wider when the
// log holds longer ones, up to a screen's width of text.
constexpr int kLeastColumns = 100;
constexpr int kMostColumns = 200;
constexpr int kShownLines = 20;
// Beside the document's margins: the cursor at the end of a line, and air.
constexpr int kTextSlack = 16;

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
  resize(sizeHint());

  QStringList all;
  for (const MessageLog::Line& line : log_.Lines()) all << QString::fromStdString(line);
  lines_->setPlainText(all.join('\n'));
  lines_->verticalScrollBar()->setValue(lines_->verticalScrollBar()->maximum());
  log_.SetListener([this](const MessageLog::Line& line) { Append(line); });
}

QSize MessagesWindow::sizeHint() const {
  const QFontMetrics metrics(lines_->font());
  int width = metrics.horizontalAdvance(QString(kLeastColumns, '0'));
  const int most = metrics.horizontalAdvance(QString(kMostColumns, '0'));
  for (const MessageLog::Line& line : log_.Lines()) {
    width = std::max(width, std::min(most, metrics.horizontalAdvance(QString::fromStdString(line))));
  }
  const int frame = 2 * lines_->frameWidth() +
                    2 * static_cast<int>(lines_->document()->documentMargin());
  return {width + kTextSlack + frame + lines_->verticalScrollBar()->sizeHint().width(),
          kShownLines * metrics.lineSpacing() + kTextSlack + frame +
              lines_->horizontalScrollBar()->sizeHint().height()};
}

MessagesWindow::~MessagesWindow() { log_.SetListener(nullptr); }

void MessagesWindow::Append(const MessageLog::Line& line) {
  QScrollBar* bar = lines_->verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum();
  lines_->appendPlainText(QString::fromStdString(line));
  if (atEnd) bar->setValue(bar->maximum());
}

}  // namespace vorlink
