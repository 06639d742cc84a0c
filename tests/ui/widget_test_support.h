// Helpers for widget tests: waiting on the event loop, finding controls,
// a station folder with COM1 on a pseudo-terminal, a loopback time server.
#pragma once

#include <unistd.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QString>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string_view>

#include "temp_folder.h"

// Failed comparisons of Qt texts print the text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace vorlink::testing {

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QTest::qWait(5);
  }
  return true;
}

// Counts the paint events a widget receives, and calls back at each.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QWidget& widget, std::function<void()> onPaint = {})
      : onPaint_(std::move(onPaint)) {
    widget.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    ++count;
    if (onPaint_) onPaint_();
    return false;
  }
  int count = 0;

 private:
  std::function<void()> onPaint_;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view text) {
  std::ofstream(file, std::ios::binary) << text;
}

// The working directory moved into a fresh folder for the life of the object.
class StationFolder {
 public:
  StationFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder_.path());
  }
  ~StationFolder() { std::filesystem::current_path(previous_); }
  const std::filesystem::path& path() const { return folder_.path(); }

 private:
  TempFolder folder_;
  std::filesystem::path previous_;
};

// Answers every connection with the given bytes, then closes it.
class TimeServer {
 public:
  explicit TimeServer(QByteArray answer) : answer_(std::move(answer)) {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->write(answer_);
        socket->flush();
        socket->disconnectFromHost();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  std::uint16_t Port() const { return server_.serverPort(); }

 private:
  QTcpServer server_;
  QByteArray answer_;
};

}  // namespace vorlink::testing
