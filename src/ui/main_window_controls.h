// The main window's kinds of control, each made at its place (in pixels from
// twips), named for the tests that find it, and in the font the layout was
// drawn for.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QString>

#include "ui/window_look.h"

namespace vorlink {

template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  // Set on each control, so that a frame's bold caption font is not inherited.
  widget->setFont(SansSerifFont(8.25, false));
  return widget;
}

// A frame (group box) with its caption in bold dark grey.
QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, const QRect& at);
// A drawn lamp of one colour; a port has one of each colour at the same place.
QLabel* MakeLamp(QWidget* parent, const char* name, const QRect& at, const QColor& colour,
                 const QString& tip);
// A narrow button whose caption wraps onto a second line when it is too long.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& at);
// An option check box, checked at every load.
QCheckBox* MakeOption(QWidget* parent, const char* name, const QString& caption, const QRect& at,
                      const QString& tip);

}  // namespace vorlink
