#include "base/token_bucket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlink {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// One step of a table: at this time (ms from the start) try to take a token.
struct Try {
  int atMs;
  bool taken;
};

struct BucketRow {
  std::string name;
  std::size_t capacity;
  std::vector<Try> tries;
};

TEST(TokenBucketTest, OneEveryTwoSecondsAfterABurstOfThree) {
  const std::vector<BucketRow> rows = {
      {"a full bucket gives its burst at once", 3,
       {{0, true}, {0, true}, {0, true}, {0, false}}},
      {"then one token per interval", 3,
       {{0, true}, {0, true}, {0, true}, {1999, false}, {2000, true}, {2001, false}, {4000, true}}},
      {"a long quiet refills to the capacity and no more", 3,
       {{0, true}, {0, true}, {0, true}, {60000, true}, {60000, true}, {60000, true},
        {60000, false}}},
      {"a full bucket saves nothing up while it waits", 1,
       {{10000, true}, {10001, false}, {11999, false}, {12000, true}}},
      {"a partial interval carries over", 2,
       {{0, true}, {0, true}, {3000, true}, {3999, false}, {4000, true}}},
      {"a reading that goes back gives nothing", 1,
       {{5000, true}, {1000, false}, {6999, false}, {7000, true}}},
      {"capacity 0 is taken as 1", 0, {{0, true}, {0, false}, {2000, true}}},
  };
  for (const BucketRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::chrono::steady_clock::time_point start{};
    TokenBucket bucket(row.capacity, seconds(2), start);
    for (const Try& t : row.tries) {
      SCOPED_TRACE(t.atMs);
      EXPECT_EQ(bucket.TryTake(start + milliseconds(t.atMs)), t.taken);
    }
  }
}

TEST(TokenBucketTest, UntilNextSaysWhenTheNextTokenComes) {
  const std::chrono::steady_clock::time_point start{};
  TokenBucket bucket(1, seconds(2), start);
  EXPECT_EQ(bucket.UntilNext(start), milliseconds(0));
  ASSERT_TRUE(bucket.TryTake(start + milliseconds(500)));
  EXPECT_EQ(bucket.UntilNext(start + milliseconds(1500)), milliseconds(1000));
  EXPECT_EQ(bucket.Available(start + milliseconds(2499)), 0u);
  EXPECT_EQ(bucket.Available(start + milliseconds(2500)), 1u);
}

}  // namespace
}  // namespace vorlink
