// The program's own pictures, drawn at run time: the port lamps, the logo and
// the window icon.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace vorlink {

inline constexpr int kLampSize = 20;
inline constexpr int kLogoSize = 102;

QPixmap LampPixmap(const QColor& colour);
// The logo, drawn for a square of size pixels (the about window's by default).
QPixmap LogoPixmap(int size = kLogoSize);
QIcon ProgramIcon();

}  // namespace vorlink
