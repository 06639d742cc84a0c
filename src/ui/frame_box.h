// A frame (group box) as the windows were drawn: an etched line round it, the
// caption set into the top line, and no fill of its own, so the window's grey
// shows through. The desktop style would shade the inside a little darker,
// and nested frames darker still.
#pragma once

#include <QGroupBox>

namespace vorlink {

class FrameBox final : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vorlink
