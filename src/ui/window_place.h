// A window's size and place between runs: taken when it closes, given back
// when it opens again; a window opened for the first time gets the size its
// content asks for, within the screen, in the middle of it.
#pragma once

#include <functional>

#include "app/station_config.h"

class QWidget;

namespace vorlink {

// Its geometry, and its splitter's sizes where it has one.
WindowPlace PlaceOf(const QWidget& window);
// The saved place, or the size its content asks for in the middle of the
// screen when nothing (or nothing usable) was saved.
void PlaceWindow(QWidget& window, const WindowPlace& place);
// Hands the window's place to keep each time it is closed.
void KeepPlaceOnClose(QWidget& window, std::function<void(const WindowPlace&)> keep);

}  // namespace vorlink
