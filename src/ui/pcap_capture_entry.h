// Options > "Write pcap Capture": a checkable menu entry over the capture
// settings of vorlink.conf. It edits the value; whoever owns it saves it.
#pragma once

#include <functional>

#include "app/capture_settings.h"

class QAction;
class QMenu;

namespace vorlink {

// Adds the entry at the end of options, checked as settings say, and hands
// its state to apply now and at every change, after which changed is called.
QAction* AddPcapCaptureEntry(QMenu& options, CaptureSettings& settings,
                             std::function<void(bool)> apply, std::function<void()> changed);

}  // namespace vorlink
