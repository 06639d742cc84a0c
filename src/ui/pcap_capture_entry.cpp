#include "ui/pcap_capture_entry.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

namespace vorlink {
namespace {

const QString kWritePcapKey = QStringLiteral("Capture/WritePcapCapture");

QString Path(const std::filesystem::path& file) { return QString::fromStdString(file.string()); }

}  // namespace

CaptureSettings LoadCaptureSettings(const std::filesystem::path& confFile) {
  const QSettings conf(Path(confFile), QSettings::IniFormat);
  CaptureSettings settings;
  settings.writePcap = conf.value(kWritePcapKey, settings.writePcap).toBool();
  return settings;
}

bool SaveCaptureSettings(const std::filesystem::path& confFile, const CaptureSettings& settings) {
  QSettings conf(Path(confFile), QSettings::IniFormat);
  if (settings.writePcap == CaptureSettings{}.writePcap) {
    conf.remove(kWritePcapKey);
  } else {
    conf.setValue(kWritePcapKey, settings.writePcap);
  }
  conf.sync();
  return conf.status() == QSettings::NoError;
}

QAction* AddPcapCaptureEntry(QMenu& options, const std::filesystem::path& confFile,
                             std::function<void(bool)> apply, StatusLine& status) {
  QAction* entry = options.addAction("Write pcap Capture");
  entry->setObjectName("MnuPcapCapture");
  entry->setCheckable(true);
  entry->setChecked(LoadCaptureSettings(confFile).writePcap);
  apply(entry->isChecked());
  QObject::connect(entry, &QAction::toggled, entry, [confFile, apply, &status](bool on) {
    apply(on);
    if (!SaveCaptureSettings(confFile, CaptureSettings{on})) {
      status.SetSimpleText("cannot save " + confFile.filename().string());
    }
  });
  return entry;
}

}  // namespace vorlink
