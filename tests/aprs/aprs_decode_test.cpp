// The test the tables of aprs_*_test.cpp are instantiated for: a report
// decoded from its information field shows every field as expected.
#include <gtest/gtest.h>

#include "support/aprs_flat.h"

namespace vorlink::testing {
namespace {

TEST_P(AprsDecodeTest, DecodesEveryField) {
  const AprsCase& c = GetParam();
  EXPECT_EQ(FlatDecode(c.info, c.destination), c.expected);
}

}  // namespace
}  // namespace vorlink::testing
