// vorlink-view [--map] FILE.kss: a capture in a frame browser window, and
// with --map its stations on a map. It opens no
// port, sends no script, asks no time server and writes no capture; only the
// windows' size and place and the map's settings are kept, in a vorlink.conf
// in the user's configuration folder.
//
// The options are read before Qt starts, so --help and --version answer
// without a display.
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "app/qt_station_config.h"
#include "app/view_options.h"
#include "app/program_options.h"
#include "ui/frame_browser.h"
#include "ui/map_window.h"
#include "ui/tile_layer.h"
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
  const auto save = [&] {
    if (!vorlink::WriteStationConfig(folder, config)) {
      std::fprintf(stderr, "vorlink-view: cannot save %s\n",
                   (folder / vorlink::kConfFileName).c_str());
    }
  };
  vorlink::KeepPlaceOnClose(viewer, [&](const vorlink::WindowPlace& place) {
    config.frames = place;
    save();
  });
  viewer.show();
  viewer.OpenCapture(line.operands.front());
  std::unique_ptr<vorlink::MapWindow> map;
  if (line.Has(vorlink::kMapOption)) {
    map = std::make_unique<vorlink::MapWindow>(
        viewer.Store(),
        vorlink::MapWindowSetup{config.map, line.Value(vorlink::kTileUrlOption),
                                vorlink::TileCacheFolder(), true, config.station.position});
    vorlink::PlaceWindow(*map, config.mapWindow);
    vorlink::KeepPlaceOnClose(*map, [&](const vorlink::WindowPlace& place) {
      config.mapWindow = place;
      save();
    });
    QObject::connect(map.get(), &vorlink::MapWindow::SettingsChanged, [&](const vorlink::MapSettings& settings) {
      config.map = settings;
      save();
    });
    QObject::connect(map.get(), &vorlink::MapWindow::FramesWanted, &viewer,
                     &vorlink::FrameBrowser::FilterBySource);
    map->show();
  }
  return app.exec();
}
