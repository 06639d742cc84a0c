#include "ui/qt_text_pane.h"

#include <QScrollBar>
#include <QTextCursor>

#include "ui/pane_colour.h"

namespace vorlink {

QtTextPane::QtTextPane(QPlainTextEdit& edit, int maximumLines)
    : edit_(edit), end_(edit.document()) {
  edit_.setMaximumBlockCount(maximumLines);
  edit_.setUndoRedoEnabled(false);
  for (std::size_t i = 0; i < formats_.size(); ++i) {
    formats_[i].setForeground(PaneColour(static_cast<PaneRole>(i), edit_.palette()));
  }
  // The scroll range grows only after the new text is laid out, and again
  // when a long line brings up the horizontal scroll bar, so the view is
  // moved when the range changes, if it stood at the end of the old range.
  // (Paging with the scroll bar moves the view without a valueChanged.)
  QScrollBar* bar = edit_.verticalScrollBar();
  shownMaximum_ = bar->maximum();
  followEnd_ = QObject::connect(bar, &QScrollBar::rangeChanged, [this, bar](int, int maximum) {
    const bool atEnd = bar->value() >= shownMaximum_;
    shownMaximum_ = maximum;
    if (atEnd) bar->setValue(maximum);
  });
}

// The edit may outlive the pane.
QtTextPane::~QtTextPane() { QObject::disconnect(followEnd_); }

void QtTextPane::AppendColoredText(std::string_view text, PaneRole colour) {
  QString piece = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  piece.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  end_.movePosition(QTextCursor::End);
  end_.insertText(piece, formats_[static_cast<std::size_t>(colour)]);
}

void QtTextPane::Clear() { edit_.clear(); }

}  // namespace vorlink
