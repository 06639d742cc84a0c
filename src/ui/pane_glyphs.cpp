#include "ui/pane_glyphs.h"

#include <QGlyphRun>
#include <QPainter>

namespace vorlink {
namespace {

// Printable Latin and the code pages' letters, punctuation, arrows, lines
// and blocks: none of them joins or combines with its neighbours in a shaper.
bool StandsAlone(char16_t c) {
  return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x300) || (c >= 0x370 && c < 0x590) ||
         (c >= 0x2010 && c < 0x2028) || (c >= 0x2030 && c < 0x205F) ||
         (c >= 0x20A0 && c < 0x20C0) || (c >= 0x2100 && c < 0x2600);
}

}  // namespace

PaneGlyphs::PaneGlyphs(const QFont& font)
    : font_(font), metrics_(font), raw_(QRawFont::fromFont(font)) {}

const PaneGlyphs::Glyph& PaneGlyphs::GlyphOf(char16_t c) {
  auto [at, fresh] = glyphs_.try_emplace(c);
  if (!fresh) return at->second;
  Glyph& glyph = at->second;
  const QChar character(c);
  if (!raw_.isValid() || !StandsAlone(c) || !raw_.supportsCharacter(character)) return glyph;
  const QList<quint32> indexes = raw_.glyphIndexesForString(QString(character));
  if (indexes.size() != 1 || indexes.front() == 0) return glyph;
  const QList<QPointF> advances = raw_.advancesForGlyphIndexes(indexes);
  if (advances.size() != 1) return glyph;
  glyph = {indexes.front(), advances.front().x(), true};
  return glyph;
}

std::optional<qreal> PaneGlyphs::Layout(QStringView text) {
  indexes_.resize(0);
  positions_.resize(0);
  qreal x = 0;
  for (const QChar character : text) {
    const Glyph& glyph = GlyphOf(character.unicode());
    if (!glyph.drawable) return std::nullopt;
    indexes_.append(glyph.index);
    positions_.append(QPointF(x, 0));
    x += glyph.advance;
  }
  return x;
}

qreal PaneGlyphs::Draw(QPainter& painter, QPointF origin, QStringView text) {
  if (text.isEmpty()) return 0;
  const std::optional<qreal> width = Layout(text);
  if (!width) {
    painter.setFont(font_);
    painter.drawText(origin, text.toString());
    return metrics_.horizontalAdvance(text.toString());
  }
  QGlyphRun run;
  run.setRawFont(raw_);
  run.setGlyphIndexes(indexes_);
  run.setPositions(positions_);
  painter.drawGlyphRun(origin, run);
  return *width;
}

qreal PaneGlyphs::Advance(QStringView text) {
  qreal x = 0;
  for (const QChar character : text) {
    const Glyph& glyph = GlyphOf(character.unicode());
    if (!glyph.drawable) return metrics_.horizontalAdvance(text.toString());
    x += glyph.advance;
  }
  return x;
}

}  // namespace vorlink
