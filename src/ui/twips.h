// The windows' layouts are kept in twips, as they were drawn: 15 twips to a
// pixel at 96 dpi.
#pragma once

#include <QRect>

namespace vorlink {

inline constexpr int kTwipsPerPixel = 15;

inline constexpr int Twips(int twips) { return twips / kTwipsPerPixel; }

inline QRect Twips(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace vorlink
