// A scroll bar whose owner sets range, page and value together, and which
// then repaints only when its look changed: the handle moved or resized, or an
// end was reached or left. The frame pane's range grows with every frame while
// the handle mostly stays put, and the desktop style paints each bar with
// gradients that cost far more than the text around it.
#pragma once

#include <QRect>
#include <QScrollBar>

namespace vorlink {

class QuietScrollBar final : public QScrollBar {
 public:
  explicit QuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  // The range starts at 0. Emits neither valueChanged nor rangeChanged,
  // unless the bar is to appear or go: the owner repaints what it scrolls.
  void Set(int maximum, int pageStep, int value);

 protected:
  void sliderChange(SliderChange change) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Look {
    QRect handle;
    bool atStart = false;
    bool atEnd = false;

    bool operator==(const Look&) const = default;
  };

  Look CurrentLook() const;

  Look painted_;
  bool setting_ = false;
};

}  // namespace vorlink
