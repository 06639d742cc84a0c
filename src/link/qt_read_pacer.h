// Reads paced by what they bring. A read that brought little is followed by
// a short rest of the device's read notifier, so bytes that trickle in are
// read as one chunk and the program wakes at most about fifty times a
// second; a read that brought a lot is followed by the next at once, so a
// burst drains as fast as the program takes it.
//
// Neither QSerialPort nor QTcpSocket has a call to pause reading, so the
// pacer finds their read notifier among their children; with a Qt that has
// none to find, reads are simply not paced.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstddef>

namespace vorlink {

// What one read of a terminal driver brings at most (its line buffer); a
// quarter of it is a read that found the program behind.
inline constexpr std::size_t kDriverReadBuffer = 4096;
inline constexpr std::size_t kLargeRead = kDriverReadBuffer / 4;
// Fifty reads a second: well within what any driver buffers, and below what
// the pane shows.
inline constexpr std::chrono::milliseconds kReadRest{20};

// Whether a read that brought `bytes` is followed by a rest.
constexpr bool RestsAfter(std::size_t bytes) { return bytes < kLargeRead; }

class QtReadPacer {
 public:
  // `device` holds the read notifier, as a child or further down.
  explicit QtReadPacer(QObject& device);
  QtReadPacer(const QtReadPacer&) = delete;
  QtReadPacer& operator=(const QtReadPacer&) = delete;

  // After each read that the device's readyRead brought.
  void AfterRead(std::size_t bytes);
  // The device closed: a rest under way ends with nothing to resume.
  void Stop();
  // How many reads were followed by a rest: a trickle has one for each read,
  // a burst hardly any.
  std::size_t Rests() const { return rests_; }

 private:
  QSocketNotifier* EnabledReadNotifier() const;
  void Resume();

  QObject& device_;
  QTimer rest_;
  // The notifier that rests; a closed device's one is never woken again.
  QPointer<QSocketNotifier> resting_;
  std::size_t rests_ = 0;
};

}  // namespace vorlink
