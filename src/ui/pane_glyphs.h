// Draws the pane's lines as runs of glyphs, without shaping them first. Its
// lines are one character per column in one font, so shaping only confirms
// what the font's character map already says, and it cost more than all the
// rest of a repaint. A line with a character the font lacks (or any that
// shaping might join) goes through QPainter::drawText, which finds another
// font for it. Widths and column positions come from the same advances, so a
// selection lies exactly under the characters drawn.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <optional>
#include <unordered_map>

class QPainter;

namespace vorlink {

class PaneGlyphs {
 public:
  explicit PaneGlyphs(const QFont& font);

  // The text with the start of its baseline at the origin; returns how far
  // it reaches, as Advance does.
  qreal Draw(QPainter& painter, QPointF origin, QStringView text);
  // How far the text reaches as drawn.
  qreal Advance(QStringView text);

 private:
  struct Glyph {
    quint32 index = 0;
    qreal advance = 0;
    bool drawable = false;
  };

  const Glyph& GlyphOf(char16_t c);
  // Fills the scratch run and gives its width; none when some character
  // needs drawText.
  std::optional<qreal> Layout(QStringView text);

  QFont font_;
  QFontMetricsF metrics_;
  QRawFont raw_;
  std::unordered_map<char16_t, Glyph> glyphs_;
  QList<quint32> indexes_;
  QList<QPointF> positions_;
};

}  // namespace vorlink
