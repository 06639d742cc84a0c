#include "ui/quiet_scroll_bar.h"

#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>

namespace vorlink {

QuietScrollBar::QuietScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

QuietScrollBar::Look QuietScrollBar::CurrentLook() const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  // The arrows are drawn disabled at the ends.
  return {style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this),
          value() == minimum(), value() == maximum()};
}

void QuietScrollBar::Set(int maximum, int pageStep, int value) {
  const bool wasNeeded = this->maximum() > minimum();
  {
    // The steps between may look different (a range grown under a value
    // still at the old end); only where they end counts. The scroll area
    // hears nothing: at every new range it lays out its bars again and
    // repaints them whole.
    const QSignalBlocker quiet(this);
    setting_ = true;
    setRange(0, maximum);
    setPageStep(pageStep);
    setValue(value);
    setting_ = false;
  }
  // Except when the bar is to appear or go.
  if (wasNeeded != (maximum > 0)) emit rangeChanged(0, maximum);
  if (CurrentLook() != painted_) update();
}

void QuietScrollBar::sliderChange(SliderChange change) {
  if (!setting_) QScrollBar::sliderChange(change);
}

void QuietScrollBar::paintEvent(QPaintEvent* event) {
  painted_ = CurrentLook();
  QScrollBar::paintEvent(event);
}

}  // namespace vorlink
