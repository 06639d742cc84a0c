#include "ui/artwork.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vorlink {

QPixmap LampPixmap(const QColor& colour) {
  QPixmap pixmap(kLampSize, kLampSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient glow(7, 7, 12);
  glow.setColorAt(0.0, colour.lighter(170));
  glow.setColorAt(0.6, colour);
  glow.setColorAt(1.0, colour.darker(180));
  p.setBrush(glow);
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.drawEllipse(QRectF(1.5, 1.5, kLampSize - 3, kLampSize - 3));
  return pixmap;
}

QPixmap LogoPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // Drawn on the about window's grid, so every size shows the same picture.
  const qreal scale = static_cast<qreal>(size) / kLogoSize;
  p.scale(scale, scale);
  const QColor teal(0, 64, 64);
  p.setBrush(QColor(0xE0, 0xE0, 0xE0));
  p.setPen(QPen(teal, 3));
  p.drawRoundedRect(QRectF(2, 2, kLogoSize - 4, kLogoSize - 4), 14, 14);
  // A mast sending waves: the radio side of the program.
  p.setPen(QPen(teal, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(30, 78), QPointF(30, 34));
  p.drawLine(QPointF(18, 78), QPointF(42, 78));
  p.setPen(QPen(QColor(0, 128, 128), 3, Qt::SolidLine, Qt::RoundCap));
  for (int r = 12; r <= 36; r += 12) {
    p.drawArc(QRectF(30 - r, 34 - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
  }
  // The frame side: a KISS delimiter pair around a block of bytes.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 0, 0));
  p.drawRect(QRectF(62, 60, 6, 20));
  p.drawRect(QRectF(86, 60, 6, 20));
  p.setBrush(QColor(0, 0, 255));
  p.drawRect(QRectF(71, 64, 12, 12));
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(18);
  p.setFont(font);
  p.setPen(teal);
  p.drawText(QRectF(50, 14, 48, 30), Qt::AlignCenter, "VL");
  return pixmap;
}

QIcon ProgramIcon() { return QIcon(LogoPixmap().scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation)); }

}  // namespace vorlink
