// What the windows share of their look: the light grey they are filled with,
// the narrow 8.25 pt sans serif they were drawn for, and the conversion of the
// core's UTF-8 texts.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <string_view>

namespace vorlink {

inline QColor WindowGrey() { return {0xE0, 0xE0, 0xE0}; }

// Wide desktop defaults would clip the captions, so the narrow families come first.
inline QFont SansSerifFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Arimo",
                    "Nimbus Sans", "Helvetica", font.family()});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// The named families first, then the narrow sans serif.
inline QFont SansSerifFont(double points, bool bold, const QStringList& families) {
  QFont font = SansSerifFont(points, bold);
  font.setFamilies(families + font.families());
  return font;
}

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace vorlink
