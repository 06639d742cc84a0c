#include "ui/qt_text_pane.h"

#include <QScrollBar>
#include <QTextCursor>

namespace vorlink {
namespace {

QColor ToQColor(PaneColour colour, const QPalette& palette) {
  if (colour == PaneColour::SystemGreyText) {
    return palette.color(QPalette::Disabled, QPalette::Text);
  }
  const Rgb rgb = RgbOf(colour);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

QtTextPane::QtTextPane(QPlainTextEdit& edit, int maximumLines)
    : edit_(edit), end_(edit.document()) {
  edit_.setMaximumBlockCount(maximumLines);
  edit_.setUndoRedoEnabled(false);
  for (std::size_t i = 0; i < formats_.size(); ++i) {
    formats_[i].setForeground(ToQColor(static_cast<PaneColour>(i), edit_.palette()));
  }
}

void QtTextPane::AppendColoredText(std::string_view text, PaneColour colour) {
  QString piece = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  piece.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QScrollBar* bar = edit_.verticalScrollBar();
  const bool followEnd = bar->value() == bar->maximum();
  end_.movePosition(QTextCursor::End);
  end_.insertText(piece, formats_[static_cast<std::size_t>(colour)]);
  if (followEnd) bar->setValue(bar->maximum());
}

void QtTextPane::Clear() { edit_.clear(); }

}  // namespace vorlink
