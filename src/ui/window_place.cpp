#include "ui/window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QWidget>

namespace vorlink {
namespace {

QByteArray ToBytes(const std::string& bytes) {
  return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}

std::string FromBytes(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// Fit to the screen: a content wider than it gets scroll bars instead.
void FitOnScreen(QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window.resize(window.sizeHint());
    return;
  }
  const QRect available = screen->availableGeometry();
  window.resize(window.sizeHint().boundedTo(available.size()));
  QRect frame = window.frameGeometry();
  frame.moveCenter(available.center());
  window.move(frame.topLeft());
}

class CloseWatch final : public QObject {
 public:
  CloseWatch(QWidget& window, std::function<void(const WindowPlace&)> keep)
      : QObject(&window), window_(window), keep_(std::move(keep)) {
    window.installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Close) keep_(PlaceOf(window_));
    return false;
  }

 private:
  QWidget& window_;
  std::function<void(const WindowPlace&)> keep_;
};

}  // namespace

WindowPlace PlaceOf(const QWidget& window) {
  WindowPlace place;
  place.geometry = FromBytes(window.saveGeometry());
  if (const auto* splitter = window.findChild<QSplitter*>()) {
    place.splitter = FromBytes(splitter->saveState());
  }
  return place;
}

void PlaceWindow(QWidget& window, const WindowPlace& place) {
  if (place.geometry.empty() || !window.restoreGeometry(ToBytes(place.geometry))) {
    FitOnScreen(window);
  }
  if (auto* splitter = window.findChild<QSplitter*>(); splitter && !place.splitter.empty()) {
    splitter->restoreState(ToBytes(place.splitter));
  }
}

void KeepPlaceOnClose(QWidget& window, std::function<void(const WindowPlace&)> keep) {
  new CloseWatch(window, std::move(keep));
}

}  // namespace vorlink
