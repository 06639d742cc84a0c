// The way the data links' frames take toward the TNC: to the station's one
// sender once it is given, and nowhere before (counted, so a test or the
// status can tell). The links are made once; the sender may come later.
#pragma once

#include <cstdint>

#include "ax25link/link_output.h"

namespace vorlink {

class LinkFrameRoute final : public FrameSink {
 public:
  void SetSender(FrameSink* sender) { sender_ = sender; }
  bool HasSender() const { return sender_ != nullptr; }
  std::uint64_t Unsent() const { return unsent_; }

  void SendFrame(std::span<const std::uint8_t> frame, bool linkFrame) override {
    if (sender_ == nullptr) {
      ++unsent_;
      return;
    }
    sender_->SendFrame(frame, linkFrame);
  }

 private:
  FrameSink* sender_ = nullptr;
  std::uint64_t unsent_ = 0;
};

}  // namespace vorlink
