#include "ui/statistics_window.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/statistics_text.h"
#include "ui/qt_text_pane.h"
#include "ui/twips.h"

namespace vorlink {

StatisticsWindow::StatisticsWindow(const ReceiveCounters& counters,
                                   std::optional<KissServerFigures> kissServer, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName("Form4");
  setWindowTitle("Form4");

  figures_ = new QPlainTextEdit(this);
  figures_->setObjectName("RichTextBox1");
  figures_->setReadOnly(true);
  figures_->setLineWrapMode(QPlainTextEdit::NoWrap);
  figures_->setFrameShape(QFrame::NoFrame);
  QFont courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  courier.setFamilies({"Courier", "Courier New", "Liberation Mono", courier.family()});
  courier.setStyleHint(QFont::TypeWriter);
  courier.setFixedPitch(true);
  courier.setPointSizeF(9.75);
  figures_->setFont(courier);

  // The pane fills the window, and follows it when the operator resizes it.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(figures_);
  resize(sizeHint());

  QtTextPane pane(*figures_);
  AppendStatistics(counters, pane);
  AppendLinkHealth(counters.health, pane);
  if (kissServer) AppendKissServerFigures(*kissServer, pane);
  // Shown from the title down.
  figures_->moveCursor(QTextCursor::Start);
}

QSize StatisticsWindow::sizeHint() const { return QSize(Twips(4095), Twips(1935)); }

}  // namespace vorlink
