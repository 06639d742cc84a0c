#include "link/comm_event_text.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

TEST(CommEventTextTest, TextsAsOperatorsKnowThem) {
  const std::pair<int, const char*> cases[] = {
      {1, "There are characters in the transmit buffer."},
      {3, "Change in the CTS line."},
      {4, "Change in the DSR line."},
      {5, "Change in the CD line."},
      {6, "Ring Indicator"},
      {1001, "A Break was received."},
      {1002, "CTS Timeout."},
      {1003, "DSR Timeout."},
      {1004, "Framing Error"},
      {1006, "Data Lost"},
      {1007, "CD (RLSD) Timeout."},
      {1008, "Receive Buffer Overflow"},
      {1009, "Parity Error"},
      {1010, "Transmit Buffer full"},
      {1011, "Unexpected error retrieving DCB"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(CommEventText(code), text) << code;
  for (int code : {0, 2, 7, 1005, 1012, -1}) EXPECT_FALSE(CommEventText(code)) << code;
}

}  // namespace
}  // namespace vorlink
