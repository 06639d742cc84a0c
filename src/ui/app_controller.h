// The windows of the process and their lifetimes: the main window (loaded,
// unloaded and loaded again when the setup dialog's OK applies new port
// lines), the setup dialog, the statistics and the about window. Every window
// is non-modal; the process ends when its last window is closed.
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
class FrameBrowser;
class MainWindow;
class MapWindow;
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
  // Closes every window; the main window unloads as usual.
  void CloseAll();

  MainWindow* Main() const;
  SetupDialog* Setup() const;
  StatisticsWindow* Statistics() const;
  AboutWindow* About() const;
  MessagesWindow* Messages() const;
  // The frame browser over the live frames; opened on demand.
  FrameBrowser* Frames() const;
  FrameBrowser& OpenFrames();
  QWidget& OpenHeard();
  MapWindow& OpenMap();
  // A capture in a viewer window of its own.
  FrameBrowser& OpenCapture(const QString& file);

 signals:
  // No window is left.
  void LastWindowClosed();

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
  QPointer<MapWindow> map_;
  QList<QPointer<QWidget>> viewers_;
};

// Puts a window in the middle of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace vorlink
