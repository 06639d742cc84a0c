// The message center fed from the frame store: an ack heard through a
// digipeater answers our line and names the digipeater; frames the store
// held before the feed began are not answered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/message_feed.h"
#include "support/aprs_store.h"
#include "support/fake_clock.h"

namespace vorlink {
namespace {

TEST(MessageFeedTest, AnAckThroughADigipeaterAnswersTheLine) {
  testing::FakeClock clock;
  std::vector<std::string> sent;
  MessageCenter center(clock, [&sent](std::string_view info) {
    sent.emplace_back(info);
    return AprsSendResult::Queued;
  });
  center.SetOwnCallsign("N0OWN");
  FrameStore store;
  testing::AppendAprs(store, "W1AW", ":N0OWN    :old news{1");
  MessageFeed feed(store);
  const auto key = center.Send("W1AW", "hello").key;
  const std::string id = center.Line(key)->id;
  testing::AppendAprs(store, "W1AW", ":N0OWN    :ack" + id + "\r",
                      {{"WIDE1", 1, false}, {"N0DIG", 0, true}, {"WIDE2", 1, false}});
  EXPECT_FALSE(feed.CatchUp(store, center));
  EXPECT_EQ(center.StateText(*center.Line(key)), "acked 09:58:20 (heard via N0DIG)");
  EXPECT_EQ(sent.size(), 1U);  // the old message was not acked
}

}  // namespace
}  // namespace vorlink
