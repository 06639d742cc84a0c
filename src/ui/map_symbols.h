// APRS symbols drawn in code: the table's shape filled with the group's
// colour, a white icon for the commonest symbols, and an overlay character
// on top. Drawn once per symbol and size into a pixmap the map then reuses.
#pragma once

#include <QColor>
#include <QHash>
#include <QPixmap>

#include "aprs/symbol_style.h"

class QPainter;

namespace vorlink {

inline constexpr int kSymbolPixels = 18;

QColor GroupColour(SymbolGroup group);
// The symbol centred on a square of side `size` at the painter's origin.
void DrawSymbol(QPainter& painter, const SymbolStyle& style, double size);

class SymbolCache {
 public:
  const QPixmap& Of(char table, char code);

 private:
  QHash<quint16, QPixmap> pixmaps_;
};

}  // namespace vorlink
