// The windows were drawn for a narrow 8.25 pt sans serif; wide desktop
// defaults would clip their captions, so the narrow families come first.
#pragma once

#include <QFont>
#include <QStringList>

namespace vorlink {

inline QFont SansSerifFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Arimo",
                    "Nimbus Sans", "Helvetica", font.family()});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace vorlink
