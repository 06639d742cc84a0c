// A whole program in a test: the window controller over a station folder
// with COM1 (the TNC) and COM2 (the mirror) on pseudo-terminals, a loopback
// time server and a fake clock. The test plays the TNC on com1 and whatever
// hangs on the mirror on com2.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "hex.h"
#include "link/qt_serial_port.h"
#include "pty_pair.h"
#include "ui/app_controller.h"
#include "ui/frame_view.h"
#include "ui/main_window.h"
#include "widget_test_support.h"

namespace vorlink::testing {

inline constexpr const char* kConfigLines = "01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\n";
// A UI frame of 20 bytes from XYZ-7 to ABC with the payload "h".
inline constexpr const char* kFrame20 =
    "C0 00 82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0 68 C0";

// That frame with the one letter given as its payload.
inline std::vector<std::uint8_t> LetterFrame(char letter) {
  auto frame = Hex(kFrame20);
  frame[18] = static_cast<std::uint8_t>(letter);
  return frame;
}

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() {
    com1.LinkAs(folder.path() / "COM1");
    com2.LinkAs(folder.path() / "COM2");
    WriteFile(folder.path() / "tnc_init.txt", "KISS ON\r\n");
    WriteFile(folder.path() / "tnc_exit.txt", "^K\r\n");
    station.programFolder = folder.path();
    station.workingFolder = folder.path();
    clock.local = {2026, 12, 6, 10, 0, 0, 345};
  }
  ~ControllerTest() override {
    controller.reset();
    // Windows closed with deleteLater go before the folder does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void WriteConfig(const std::string& mirrorFlag) {
    WriteFile(folder.path() / "vorlink.ini", std::string(kConfigLines) + mirrorFlag + "\r\n");
  }
  AppController& Start() {
    controller = std::make_unique<AppController>(station, clock, timeServer.Port());
    controller->Start();
    return *controller;
  }
  MainWindow& Main() { return *controller->Main(); }
  template <typename T>
  T* Find(const char* name) {
    return Main().findChild<T*>(name);
  }
  void Trigger(const char* menuEntry) { Find<QAction>(menuEntry)->trigger(); }
  QString PaneText() { return Find<FrameView>("RichTextBox1")->AllText(); }
  QString LabelText(const char* name) { return Find<QLabel>(name)->text(); }
  // Some line of the message log holds the text.
  bool LogHas(const std::string& text) {
    const auto& lines = station.messages.Lines();
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.find(text) != std::string::npos;
    });
  }

  // Everything that arrived on the pty's far end: waits for the first byte,
  // then takes what follows close behind. The event loop runs meanwhile, so
  // the ports can write what they queued.
  static std::string Received(const PtyPair& pty,
                              std::chrono::milliseconds wait = std::chrono::milliseconds(1000)) {
    using namespace std::chrono_literals;
    std::vector<std::uint8_t> all;
    const auto more = [&] {
      auto bytes = pty.Read(5ms);
      all.insert(all.end(), bytes.begin(), bytes.end());
      return !bytes.empty();
    };
    if (WaitUntil(more, wait)) {
      while (WaitUntil(more, 100ms)) {
      }
    }
    return ToHex(all);
  }

  StationFolder folder;
  PtyPair com1;
  PtyPair com2;
  TimeServer timeServer{QByteArray("\xEE\xBF\xB0\xA0", 4)};
  FakeClock clock;
  Station station;
  std::unique_ptr<AppController> controller;
};

}  // namespace vorlink::testing
