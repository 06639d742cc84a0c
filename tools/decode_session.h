// The whole receive core without a window: a KISS byte stream in, the frame
// pane's blocks out. vorlink-decode, its tests, the benchmark and the fuzzer
// all run the core through this, wired as the station session wires it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "app/receive_counters.h"
#include "app/receive_pipeline.h"
#include "base/clock.h"
#include "base/status_line.h"
#include "capture/time_frame.h"
#include "decode/display_options.h"
#include "decode/text_pane.h"
#include "link/serial_port.h"

namespace vorlink {

class DecodeSession {
 public:
  // Without a capture folder nothing is written to disk.
  DecodeSession(TextPane& pane, Clock& clock, const DisplayOptions& options,
                const std::optional<std::filesystem::path>& captureFolder = std::nullopt);

  // One chunk of the stream, as one data-received event would bring it.
  void Feed(std::span<const std::uint8_t> chunk) { pipeline_.HandleChunk(chunk); }
  void CloseCaptures() { pipeline_.Captures().CloseCaptureFiles(); }

  const ReceiveCounters& Counters() const { return counters_; }
  // From now on, counts the time frames among the frames (a capture holds
  // them beside the frames it received); off by default, to spare the check.
  void CountTimeFrames() { pipeline_.SetSharedSink(&timeFrames_); }
  std::uint64_t TimeFrames() const { return timeFrames_.count; }
  const CaptureFiles& Captures() const { return pipeline_.Captures(); }

 private:
  class ClosedPort final : public SerialPort {
   public:
    std::int16_t CommPort() const override { return 0; }
    bool PortOpen() const override { return false; }
    std::span<const std::uint8_t> Input() override { return {}; }
    void DiscardInput() override {}
    bool Output(std::span<const std::uint8_t>) override { return false; }
    std::size_t BytesToWrite() const override { return 0; }
  };
  class Silent final : public StatusLine, public ReceiveView {
   public:
    void SetSimpleText(std::string_view) override {}
    void ShowReceived(std::string_view) override {}
    void ShowMirrored(std::string_view) override {}
  };

  struct TimeFrameCounter final : ReceivedUnitSink {
    void OnReceivedFrame(std::span<const std::uint8_t> frame) override {
      if (ReadTimeFrame(frame)) ++count;
    }
    std::uint64_t count = 0;
  };

  ClosedPort port_;
  const bool mirroring_ = false;
  Silent silent_;
  ReceiveCounters counters_;
  DateTime lastPacketTime_;
  TimeFrameCounter timeFrames_;
  ReceivePipeline pipeline_;
};

}  // namespace vorlink
