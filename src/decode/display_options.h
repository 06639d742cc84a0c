// The options of the main window that the frame display and the receive
// pipeline read anew at every frame. The window owns them and keeps them in
// step with its check boxes and menu.
#pragma once

namespace vorlink {

struct DisplayOptions {
  bool timeStamp = true;   // "TimeStamp (UTC)"
  bool timeFrames = true;  // "Generate Timeframes"
  bool decode = true;      // "Decode KISS Frame"
  bool hexFile = true;     // "Write Payload to ASCII File (Hexdump)"
  bool pcapFile = true;    // "Write pcap Capture" (saved in vorlink.conf)
};

}  // namespace vorlink
