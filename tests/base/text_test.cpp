#include "base/text.h"

#include <gtest/gtest.h>

namespace vorlink {
namespace {

TEST(TextTest, HexDecimalAndUpperCase) {
  std::string hex;
  for (std::uint8_t b : {0x00, 0x0A, 0x10, 0xEE, 0xFF}) AppendHexByte(hex, b);
  EXPECT_EQ(hex, "000A10EEFF");

  std::string decimal = "n=";
  AppendDecimal(decimal, 0);
  AppendDecimal(decimal, -42);
  AppendDecimal(decimal, 9223372036854775807LL);
  EXPECT_EQ(decimal, "n=0-429223372036854775807");
  // Either side of each digit count of the short way and the general one.
  for (long long n : {7LL, 9LL, 10LL, 99LL, 100LL, 999LL, 1000LL, 1001LL, -1LL}) {
    std::string text;
    AppendDecimal(text, n);
    EXPECT_EQ(text, std::to_string(n));
  }

  // Single-byte texts: only ASCII letters change.
  EXPECT_EQ(UpperCase("com 1, 19200,n,8,1 \xE4z"), "COM 1, 19200,N,8,1 \xE4Z");
  EXPECT_EQ(FlagWord(true), "true");
  EXPECT_EQ(FlagWord(false), "false");
}

TEST(TextTest, ReceivedBytesReadTheSameInEveryList) {
  const struct {
    const char* name;
    std::string bytes;
    std::string shown;
  } rows[] = {
      {"plain ASCII", "W1AW 73", "W1AW 73"},
      {"e-acute", "caf\xE9", "caf\xC3\xA9"},
      {"u-umlaut and sharp s", "Gr\xFC\xDF", "Gr\xC3\xBC\xC3\x9F"},
      {"the first high byte", "\x80", "\xC2\x80"},
      {"the last byte", "\xFF", "\xC3\xBF"},
      {"no-break space", "a\xA0z", "a\xC2\xA0z"},
      {"UTF-8 sent as such is read byte by byte", "\xC3\xA9", "\xC3\x83\xC2\xA9"},
      {"line end and tab", "a\r\nb\tc", "a..b.c"},
      {"NUL and DEL", std::string("a\0b\x7F", 4), "a.b."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DisplayText(row.bytes), row.shown) << row.name;
    std::string appended = "> ";
    AppendDisplayText(appended, row.bytes);
    EXPECT_EQ(appended, "> " + row.shown) << row.name;
  }
}

}  // namespace
}  // namespace vorlink
