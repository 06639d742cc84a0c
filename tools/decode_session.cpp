#include "decode_session.h"

namespace vorlink {

DecodeSession::DecodeSession(TextPane& pane, Clock& clock, const DisplayOptions& options,
                             const std::optional<std::filesystem::path>& captureFolder)
    : pipeline_(ReceiveContext{pane, clock, options, mirroring_, port_, port_, counters_,
                               lastPacketTime_, silent_, silent_}) {
  if (captureFolder) pipeline_.Captures().CreateCaptureFiles(*captureFolder, clock, silent_);
}

}  // namespace vorlink
