// Options > "Write pcap Capture": a checkable menu entry whose state is read
// from and saved to vorlink.conf (INI, group "Capture", key
// "WritePcapCapture"; the key is removed while the entry has its default,
// checked). A save that fails is told on the status line.
#pragma once

#include <QString>

#include <filesystem>
#include <functional>

#include "app/capture_settings.h"
#include "base/status_line.h"

class QAction;
class QMenu;

namespace vorlink {

CaptureSettings LoadCaptureSettings(const std::filesystem::path& confFile);
// False when the file could not be written.
bool SaveCaptureSettings(const std::filesystem::path& confFile, const CaptureSettings& settings);

// Adds the entry at the end of options, checked as confFile says, and hands
// its state to apply now and at every change.
QAction* AddPcapCaptureEntry(QMenu& options, const std::filesystem::path& confFile,
                             std::function<void(bool)> apply, StatusLine& status);

}  // namespace vorlink
