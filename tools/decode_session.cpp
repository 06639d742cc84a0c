#include "decode_session.h"

namespace vorlink {

DecodeSession::DecodeSession(TextPane& pane, Clock& clock, const DisplayOptions& options,
                             const std::optional<std::filesystem::path>& captureFolder)
    : display_(pane, captures_, clock, options, lastPacketTime_),
      pipeline_(ReceiveContext{port_, port_, counters_, lastPacketTime_, clock, silent_, silent_,
                               captures_, display_, options, mirroring_}) {
  if (captureFolder) captures_.CreateCaptureFiles(*captureFolder, clock, silent_);
}

}  // namespace vorlink
