// The one place a pane role becomes a Qt colour, for the frame pane and the
// text panes alike.
#pragma once

#include <QColor>
#include <QPalette>

#include "decode/pane_role.h"

namespace vorlink {

// Separator follows the desktop's palette; every other role has its own colour.
QColor PaneColour(PaneRole role, const QPalette& palette);

}  // namespace vorlink
