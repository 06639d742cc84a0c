#include "ui/frame_box.h"

#include <QPainter>
#include <qdrawutil.h>

namespace vorlink {
namespace {

constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;
constexpr int kLineWidth = 1;

}  // namespace

void FrameBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect outline = rect();
  QRect caption;
  if (!title().isEmpty()) {
    const QFontMetrics metrics = fontMetrics();
    caption = QRect(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding,
                    metrics.height());
    outline.setTop(caption.center().y());
  }
  qDrawShadeRect(&painter, outline, palette(), true, kLineWidth);
  if (caption.isNull()) return;
  // The caption interrupts the top line.
  painter.fillRect(caption, palette().window());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(caption, Qt::AlignCenter, title());
}

}  // namespace vorlink
