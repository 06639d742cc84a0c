#include "ui/pcap_capture_entry.h"

#include <QAction>
#include <QMenu>

namespace vorlink {

QAction* AddPcapCaptureEntry(QMenu& options, CaptureSettings& settings,
                             std::function<void(bool)> apply, std::function<void()> changed) {
  QAction* entry = options.addAction("Write pcap Capture");
  entry->setObjectName("MnuPcapCapture");
  entry->setCheckable(true);
  entry->setChecked(settings.writePcap);
  apply(entry->isChecked());
  QObject::connect(entry, &QAction::toggled, entry, [&settings, apply, changed](bool on) {
    settings.writePcap = on;
    apply(on);
    changed();
  });
  return entry;
}

}  // namespace vorlink
