// The main window's options that the core reads anew at every frame. The
// window owns them and keeps them in step with its check boxes and menus.
#pragma once

namespace vorlink {

struct WindowOptions {
  bool ShowTimeStamp = true;       // "TimeStamp (UTC)"
  bool GenerateTimeFrames = true;  // "Generate Timeframes"
  bool AnalyzeFrame = true;        // "Decode KISS Frame"
  bool MnuDecodePayload = true;    // "Write Payload to ASCII File (Hexdump)"
  bool MnuMirror = false;          // "mirror incoming data from COM A to COM B"
};

}  // namespace vorlink
