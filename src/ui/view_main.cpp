// vorlink-view FILE.kss: a capture in a frame browser window. It opens no
// port, sends no script, asks no time server and writes no capture; only the
// window's size and place are kept, in a vorlink.conf in the user's
// configuration folder.
//
// The options are read before Qt starts, so --help and --version answer
// without a display.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/qt_station_config.h"
#include "app/view_options.h"
#include "ui/frame_browser.h"
#include "ui/window_place.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const vorlink::CommandLine line = vorlink::ParseViewOptions(args);
  if (const auto answered = vorlink::AnswerViewCommandLine(line, stdout, stderr)) return *answered;

  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  app.setApplicationName("vorlink");
  const QString configPath = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  QDir().mkpath(configPath);
  const std::filesystem::path folder(configPath.toStdString());
  vorlink::StationConfig config = vorlink::ReadStationConfig(folder);
  vorlink::FrameBrowser viewer;
  vorlink::PlaceWindow(viewer, config.frames);
  vorlink::KeepPlaceOnClose(viewer, [&](const vorlink::WindowPlace& place) {
    config.frames = place;
    if (!vorlink::WriteStationConfig(folder, config)) {
      std::fprintf(stderr, "vorlink-view: cannot save %s\n",
                   (folder / vorlink::kMoreSettingsFileName).c_str());
    }
  });
  viewer.show();
  viewer.OpenCapture(line.operands.front());
  return app.exec();
}
