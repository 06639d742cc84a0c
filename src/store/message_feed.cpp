#include "store/message_feed.h"

namespace vorlink {

bool MessageFeed::CatchUp(const FrameStore& store, MessageCenter& center, std::size_t most) {
  next_ = VisitFramesFrom(store, next_, most, [this, &center](const StoredFrame& frame) {
    const Ax25Decoder& decoded = inspector_.Inspect(frame);
    if (!inspector_.HeaderComplete()) return;
    if (const auto line = HeardLineOf(decoded)) center.Heard(*line);
  });
  return next_ < store.EndIndex();
}

}  // namespace vorlink
