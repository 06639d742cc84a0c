#include "ui/pane_colour.h"

namespace vorlink {

QColor PaneColour(PaneRole role, const QPalette& palette) {
  if (role == PaneRole::Separator) return palette.color(QPalette::Disabled, QPalette::Text);
  const Rgb rgb = RgbOf(role);
  return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace vorlink
