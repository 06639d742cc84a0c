// Hand-written APRS frames into a frame store, as the live path keeps them:
// a UI frame with PID F0 from a source (with SSID, "N0CALL-7"), the
// information field as text, one minute after the frame before.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/frame_text.h"
#include "link/kiss.h"
#include "store/frame_store.h"
#include "sample_stream.h"

namespace vorlink::testing {

inline sample::Address CallOf(std::string_view shown) {
  const std::size_t dash = shown.find('-');
  if (dash == std::string_view::npos) return sample::Address(shown);
  return sample::Address(shown.substr(0, dash), std::stoi(std::string(shown.substr(dash + 1))));
}

// The KISS frame as received.
inline std::vector<std::uint8_t> AprsKissFrame(std::string_view source, std::string_view info,
                                               std::vector<sample::Address> path = {},
                                               std::string_view destination = "APRS") {
  sample::Ax25Frame f{CallOf(destination), CallOf(source), std::move(path), true,
                      sample::kControlUi, sample::kPidNoLayer3, sample::Bytes(info)};
  std::vector<std::uint8_t> kiss;
  sample::AppendKissFrame(kiss, kCommandData, sample::EncodeAx25(f));
  return kiss;
}

inline void AppendKiss(FrameStore& store, const std::vector<std::uint8_t>& kiss) {
  FrameText text;
  const DisplayOptions options;
  const int lines = text.Make(kiss, DateTime{}, options, nullptr);
  const std::int64_t time = static_cast<std::int64_t>(store.EndIndex() + 1) * 60'000;
  store.Append(kiss, time, options, text.LastLeftovers(), lines);
}

inline void AppendAprs(FrameStore& store, std::string_view source, std::string_view info,
                       std::vector<sample::Address> path = {}) {
  AppendKiss(store, AprsKissFrame(source, info, std::move(path)));
}

}  // namespace vorlink::testing
