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
QPixmap LogoPixmap();
QIcon ProgramIcon();

}  // namespace vorlink
