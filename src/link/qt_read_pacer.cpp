#include "link/qt_read_pacer.h"

namespace vorlink {

QtReadPacer::QtReadPacer(QObject& device) : device_(device) {
  rest_.setSingleShot(true);
  rest_.setInterval(kReadRest);
  QObject::connect(&rest_, &QTimer::timeout, &rest_, [this] { Resume(); });
}

// A socket keeps its notifiers in an engine of its own, a serial port keeps
// them itself: both are found by looking further down. A closed device's
// notifier may linger until deleted later, but it is disabled.
QSocketNotifier* QtReadPacer::EnabledReadNotifier() const {
  for (QSocketNotifier* notifier : device_.findChildren<QSocketNotifier*>()) {
    if (notifier->type() == QSocketNotifier::Read && notifier->isEnabled()) return notifier;
  }
  return nullptr;
}

void QtReadPacer::AfterRead(std::size_t bytes) {
  if (!RestsAfter(bytes)) return;
  QSocketNotifier* notifier = EnabledReadNotifier();
  if (notifier == nullptr) return;
  notifier->setEnabled(false);
  resting_ = notifier;
  ++rests_;
  rest_.start();
}

void QtReadPacer::Stop() {
  rest_.stop();
  resting_ = nullptr;
}

void QtReadPacer::Resume() {
  if (resting_) resting_->setEnabled(true);
  resting_ = nullptr;
}

}  // namespace vorlink
