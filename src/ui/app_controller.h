// The windows of the process and their lifetimes: the main window (loaded,
// unloaded and loaded again when the setup dialog's OK applies new port
// lines), the setup dialog, the statistics and the about window. Every window
// is non-modal; the process ends when its last window is closed, or at once
// on File > Exit or a stop signal, with every window closed.
#pragma once

#include <QObject>
#include <QList>
#include <QPointer>
#include <cstdint>
#include <string>

#include "app/station.h"
#include "base/clock.h"
#include "time/time_server_client.h"

class QWidget;

namespace vorlink {

class AboutWindow;
class AprsMessagesWindow;
class FrameBrowser;
class MainWindow;
class MessagesWindow;
class SetupDialog;
class StatisticsWindow;

class AppController final : public QObject {
  Q_OBJECT

 public:
  AppController(Station& station, Clock& clock, std::uint16_t timeServerPort = kTimeProtocolPort);
  ~AppController() override;

  // Loads and shows the main window.
  void Start();
  // File > Exit and the stop signals: closes every window, the main window
  // unloading as usual, and ends the program even while one stays.
  void Exit();

  MainWindow* Main() const;
  SetupDialog* Setup() const;
  StatisticsWindow* Statistics() const;
  AboutWindow* About() const;
  MessagesWindow* Messages() const;
  // The frame browser over the live frames; opened on demand.
  FrameBrowser* Frames() const;
  FrameBrowser& OpenFrames();
  QWidget& OpenHeard();
  // View > APRS Messages, over the live frames.
  AprsMessagesWindow& OpenAprsMessages();
  // A capture in a viewer window of its own.
  FrameBrowser& OpenCapture(const QString& file);

 signals:
  // The program is to end: Exit, or no window is left. Once.
  void Ended();

 private:
  void ShowMainWindow();
  void OpenSetupDialog(bool withFocus);
  void ApplyPortLines(const std::string& incoming, const std::string& outgoing);
  void OpenStatistics();
  void OpenAbout();
  void OpenMessages();
  void Track(QWidget* window);
  template <typename Window>
  Window* Adopt(Window* window);
  void CheckWindowsLeft();
  void CloseAll();
  void End();

  Station& station_;
  Clock& clock_;
  std::uint16_t timeServerPort_;
  QPointer<MainWindow> main_;
  QPointer<SetupDialog> setup_;
  QPointer<StatisticsWindow> statistics_;
  QPointer<AboutWindow> about_;
  QPointer<MessagesWindow> messages_;
  QPointer<FrameBrowser> frames_;
  QPointer<QWidget> heard_;
  QPointer<AprsMessagesWindow> aprsMessages_;
  QList<QPointer<QWidget>> viewers_;
  bool ended_ = false;
};

// Puts a window in the middle of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace vorlink
