#include "ui/main_window_controls.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/artwork.h"
#include "ui/frame_box.h"

namespace vorlink {
namespace {

QColor FrameCaptionGrey() { return {0x40, 0x40, 0x40}; }

class WrappingButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setFont(font());
    painter.drawText(rect().adjusted(2, 1, -2, -1), Qt::AlignCenter | Qt::TextWordWrap, text());
  }
};

}  // namespace

QGroupBox* MakeFrame(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  auto* frame = Place(new FrameBox(caption, parent), name, at);
  frame->setFont(SansSerifFont(8.25, true));
  QPalette palette = frame->palette();
  palette.setColor(QPalette::WindowText, FrameCaptionGrey());
  frame->setPalette(palette);
  return frame;
}

QLabel* MakeLamp(QWidget* parent, const char* name, const QRect& at, const QColor& colour,
                 const QString& tip) {
  auto* lamp = Place(new QLabel(parent), name, at);
  lamp->setPixmap(LampPixmap(colour));
  lamp->setToolTip(tip);
  return lamp;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& at) {
  auto* button = Place(new WrappingButton(caption, parent), name, at);
  button->setFont(
      SansSerifFont(8.25, true, {"Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans Condensed"}));
  return button;
}

QCheckBox* MakeOption(QWidget* parent, const char* name, const QString& caption, const QRect& at,
                      const QString& tip) {
  auto* box = Place(new QCheckBox(caption, parent), name, at);
  // The boxes were drawn for a narrower face than today's desktops use.
  box->setFont(SansSerifFont(8.25, false, {"Arial Narrow", "Liberation Sans Narrow"}));
  box->setChecked(true);
  box->setToolTip(tip);
  return box;
}

}  // namespace vorlink
