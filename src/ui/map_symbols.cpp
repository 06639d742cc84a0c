#include "ui/map_symbols.h"

#include <QFont>
#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace vorlink {
namespace {

struct GroupColourRow {
  SymbolGroup group;
  QRgb colour;
};

constexpr GroupColourRow kGroupColours[] = {
    {SymbolGroup::Other, 0x607080},    {SymbolGroup::Vehicle, 0x1565C0},
    {SymbolGroup::Building, 0x6D4C41}, {SymbolGroup::Network, 0x2E7D32},
    {SymbolGroup::Weather, 0x0097A7},  {SymbolGroup::Person, 0x7B1FA2},
    {SymbolGroup::Water, 0x283593},    {SymbolGroup::Air, 0xEF6C00},
    {SymbolGroup::Emergency, 0xC62828},
};

// Icons on a 20 x 20 grid centred on the origin, in white.
void DrawIcon(QPainter& p, SymbolIcon icon) {
  QPainterPath path;
  switch (icon) {
    case SymbolIcon::None:
      return;
    case SymbolIcon::Car:
      path.addRoundedRect(-7, -2, 14, 5, 1.5, 1.5);
      path.addRect(-4, -5, 8, 3);
      path.addEllipse(QPointF(-4, 4), 1.8, 1.8);
      path.addEllipse(QPointF(4, 4), 1.8, 1.8);
      break;
    case SymbolIcon::Truck:
      path.addRect(-7, -5, 9, 8);
      path.addRect(2, -2, 5, 5);
      path.addEllipse(QPointF(-4, 4.5), 1.8, 1.8);
      path.addEllipse(QPointF(4, 4.5), 1.8, 1.8);
      break;
    case SymbolIcon::House:
      path.moveTo(-7, -1);
      path.lineTo(0, -7);
      path.lineTo(7, -1);
      path.closeSubpath();
      path.addRect(-5, -1, 10, 7);
      break;
    case SymbolIcon::Digipeater:
      for (int k = 0; k < 10; ++k) {
        const double r = (k % 2 == 0) ? 7.5 : 3.0;
        const double a = k * 3.14159265 / 5 - 3.14159265 / 2;
        const QPointF at(r * std::cos(a), r * std::sin(a));
        if (k == 0) path.moveTo(at); else path.lineTo(at);
      }
      path.closeSubpath();
      break;
    case SymbolIcon::Weather:
      path.addEllipse(QPointF(-2, 1), 4, 4);
      path.addEllipse(QPointF(3, 0), 4.5, 4.5);
      path.addRect(-6, 1, 13, 4);
      break;
    case SymbolIcon::Gateway:
      p.setPen(QPen(Qt::white, 1.6));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(-6, -6, 12, 12), 30 * 16, 120 * 16);
      p.drawArc(QRectF(-3.5, -3.5, 7, 7), 30 * 16, 120 * 16);
      p.drawLine(QPointF(0, 0), QPointF(0, 7));
      return;
    case SymbolIcon::Person:
      path.addEllipse(QPointF(0, -5), 2.5, 2.5);
      path.addRoundedRect(-3.5, -2, 7, 9, 2, 2);
      break;
    case SymbolIcon::Bicycle:
      p.setPen(QPen(Qt::white, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(-4, 2), 3, 3);
      p.drawEllipse(QPointF(4, 2), 3, 3);
      p.drawPolyline(QPolygonF({QPointF(-4, 2), QPointF(-1, -4), QPointF(3, -4), QPointF(4, 2)}));
      return;
    case SymbolIcon::Boat:
      path.moveTo(-7, 2);
      path.lineTo(7, 2);
      path.lineTo(4, 6);
      path.lineTo(-4, 6);
      path.closeSubpath();
      path.moveTo(0, -7);
      path.lineTo(0, 1);
      path.lineTo(5, 1);
      path.closeSubpath();
      break;
    case SymbolIcon::Aircraft:
      path.addRect(-1, -7, 2, 14);
      path.moveTo(-7, 1);
      path.lineTo(0, -3);
      path.lineTo(7, 1);
      path.closeSubpath();
      path.addRect(-3, 5, 6, 1.5);
      break;
    case SymbolIcon::Balloon:
      path.addEllipse(QPointF(0, -2), 5, 5.5);
      path.addRect(-1.5, 4, 3, 3);
      break;
    case SymbolIcon::Emergency:
      path.addRect(-1.3, -6.5, 2.6, 9);
      path.addEllipse(QPointF(0, 5), 1.5, 1.5);
      break;
  }
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(path);
}

}  // namespace

QColor GroupColour(SymbolGroup group) {
  for (const GroupColourRow& row : kGroupColours) {
    if (row.group == group) return QColor::fromRgb(row.colour);
  }
  return Qt::gray;
}

void DrawSymbol(QPainter& p, const SymbolStyle& style, double size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const double half = size / 2 - 1;
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(GroupColour(style.group));
  if (style.shape == SymbolShape::Disc) {
    p.drawEllipse(QPointF(0, 0), half, half);
  } else {
    p.drawPolygon(QPolygonF({QPointF(0, -half), QPointF(half, 0), QPointF(0, half), QPointF(-half, 0)}));
  }
  p.scale(size / 20.0, size / 20.0);
  DrawIcon(p, style.icon);
  if (style.overlay != 0) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(-10, -10, 20, 20), Qt::AlignCenter, QString(QChar(style.overlay)));
  }
  p.restore();
}

const QPixmap& SymbolCache::Of(char table, char code) {
  const quint16 key = static_cast<quint16>(static_cast<unsigned char>(table) << 8 |
                                           static_cast<unsigned char>(code));
  auto it = pixmaps_.find(key);
  if (it != pixmaps_.end()) return *it;
  QPixmap pixmap(kSymbolPixels, kSymbolPixels);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.translate(kSymbolPixels / 2.0, kSymbolPixels / 2.0);
  DrawSymbol(p, StyleOf(table, code), kSymbolPixels);
  p.end();
  return *pixmaps_.insert(key, pixmap);
}

}  // namespace vorlink
