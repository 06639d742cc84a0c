// The frames the store took, handed to the message center as they come: the
// center keeps no frames itself, so it is fed from the one place every
// received frame passes.
#pragma once

#include <cstddef>
#include <limits>

#include "aprs/message_center.h"
#include "store/frame_inspector.h"
#include "store/frame_store.h"

namespace vorlink {

class MessageFeed {
 public:
  // Starts after the frames the store holds now: old frames are not answered.
  explicit MessageFeed(const FrameStore& store) : next_(store.EndIndex()) {}

  // As HeardList::CatchUp: true while frames are left.
  bool CatchUp(const FrameStore& store, MessageCenter& center,
               std::size_t most = std::numeric_limits<std::size_t>::max());

 private:
  FrameInspector inspector_;
  FrameIndex next_ = 0;
};

}  // namespace vorlink
