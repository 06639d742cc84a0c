#include "ui/station_entry.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/program_options.h"
#include "base/package.h"

#ifndef VORLINK_SOURCE_SAMPLES
#error "VORLINK_SOURCE_SAMPLES must be defined by the build"
#endif

namespace vorlink {
namespace {

void ReportProblem(const std::string& text, bool fatal) {
  std::fprintf(stderr, "vorlink: %s\n", text.c_str());
  if (!OnDesktop()) return;
  const QString shown = QString::fromStdString(text);
  if (fatal) {
    QMessageBox::critical(nullptr, "Vorlink", shown);
  } else {
    QMessageBox::warning(nullptr, "Vorlink", shown);
  }
}

// An installed program's samples, or those of the source tree a program in
// its build folder was built from.
std::filesystem::path SampleFolder(const std::filesystem::path& executableFolder) {
  const std::filesystem::path installed = DataFolder(executableFolder);
  std::error_code error;
  return std::filesystem::is_directory(installed, error) ? installed : VORLINK_SOURCE_SAMPLES;
}

StationFacts FactsOfThisStart(const CommandLine& line) {
  StationFacts facts;
  if (const auto station = line.Value(kStationOption)) facts.stationOption = *station;
  facts.executableFolder = QCoreApplication::applicationDirPath().toStdString();
  facts.executableFolderWritable = FolderWritable(facts.executableFolder);
  facts.executableFolderOwned = FolderOwned(facts.executableFolder);
  std::error_code ignored;
  facts.currentFolder = std::filesystem::current_path(ignored);
  facts.currentFolderOwned = FolderOwned(facts.currentFolder);
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    facts.home = home;
    facts.homeOwned = FolderOwned(*facts.home);
  }
  facts.accountHome = AccountHome();
  return facts;
}

}  // namespace

bool OnDesktop() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

std::optional<StationFolders> EnterStation(const CommandLine& line) {
  const StationFacts facts = FactsOfThisStart(line);
  StationFolders folders = ChooseStationFolders(facts);
  if (!folders.error.empty()) {
    ReportProblem(folders.error, true);
    return std::nullopt;
  }
  if (!folders.ownStation) return folders;
  const StationMade made = MakeStationFolder(folders.workingFolder, SampleFolder(facts.executableFolder));
  for (const std::string& problem : made.problems) ReportProblem(problem, !made.usable);
  if (!made.usable) return std::nullopt;
  // The serial port links COMn are looked up in the current folder.
  std::error_code error;
  std::filesystem::current_path(folders.workingFolder, error);
  if (error) {
    ReportProblem("cannot enter " + folders.workingFolder.string() + ": " + error.message(), true);
    return std::nullopt;
  }
  return folders;
}

}  // namespace vorlink
