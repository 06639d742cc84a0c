#include "store/sent_frame.h"

#include "store/frame_renderer.h"

namespace vorlink {
namespace {

struct LineCountOnly final : TextPane {
  void AppendColoredText(std::string_view, PaneRole) override {}
};

}  // namespace

void AppendSentFrame(FrameStore& store, std::span<const std::uint8_t> kissFrame,
                     const DateTime& sentAt, const DisplayOptions& options) {
  StoredFrame frame;
  frame.bytes = kissFrame;
  frame.arrival = ToEpochMilliseconds(sentAt);
  frame.options = options;
  frame.sent = true;
  LineCountOnly counting;
  FrameRenderer renderer;
  const int lines = renderer.Render(frame, counting);
  store.AppendSent(kissFrame, frame.arrival, options, lines);
}

}  // namespace vorlink
