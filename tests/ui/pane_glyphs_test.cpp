// The pane's lines drawn as glyph runs look exactly as QPainter::drawText
// draws them, and are as wide.
#include "ui/pane_glyphs.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <vector>

namespace vorlink {
namespace {

constexpr QSize kCanvas(1400, 24);

QImage Blank() {
  QImage image(kCanvas, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

TEST(PaneGlyphsTest, DrawsEveryLineAsDrawTextDoes) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(9);
  const std::vector<QString> lines = {
      "2026-12-06 10:00:00.345 UTC: [21 Bytes KISS Frame (without CRC)]",
      "ctrl: 3   PID: F0 {UI}   2 Payload Bytes",
      " 1   > 68 69 C0 DB DC DD FF 00 7E ",
      QString(66, '_'),
      // Code page letters and lines, in the font or found elsewhere by drawText.
      QString::fromUtf8("Grüße ÄÖÜ ß é ° ± µ ¿ ñ"),
      QString::fromUtf8("╔═╗ ║ ╚═╝ ░▒▓ █ ▄ ▀ ■ √ ∞ ≈ ≤ ≥ ⌐ ¬ ½ ¼"),
      QString::fromUtf8("Ελλάδα Россия"),
      // Characters the font lacks or that a shaper joins: drawText's own way.
      QString::fromUtf8("日本語 ☃ \u200d x\u0301 سلام"),
      "",
  };
  PaneGlyphs glyphs(font);
  const QFontMetricsF metrics(font);
  for (const QString& line : lines) {
    SCOPED_TRACE(line.toStdString());
    QImage expected = Blank();
    {
      QPainter painter(&expected);
      painter.setFont(font);
      painter.setPen(QColor(0, 0, 160));
      painter.drawText(QPointF(4, 17), line);
    }
    QImage drawn = Blank();
    {
      QPainter painter(&drawn);
      painter.setFont(font);
      painter.setPen(QColor(0, 0, 160));
      EXPECT_EQ(glyphs.Draw(painter, QPointF(4, 17), line), glyphs.Advance(line));
    }
    EXPECT_TRUE(drawn == expected);
    EXPECT_NEAR(glyphs.Advance(line), metrics.horizontalAdvance(line), 0.5);
  }
}

}  // namespace
}  // namespace vorlink
