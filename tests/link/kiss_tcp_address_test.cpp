#include "link/kiss_tcp_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vorlink {
namespace {

struct AddressCase {
  const char* name;
  const char* text;
  std::optional<KissTcpAddress> address;
  const char* shown;  // KissTcpName, when taken
};

class KissTcpAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(KissTcpAddressTest, ParsedAndNamed) {
  const AddressCase& c = GetParam();
  const auto parsed = ParseKissTcpAddress(c.text);
  EXPECT_EQ(parsed, c.address);
  if (parsed) {
    EXPECT_EQ(KissTcpName(*parsed), c.shown);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KissTcpAddressTest,
    ::testing::Values(
        AddressCase{"HostAndPort", "127.0.0.1:8001", KissTcpAddress{"127.0.0.1", 8001},
                    "KISS TCP 127.0.0.1:8001"},
        AddressCase{"HostOnly", "tnc.local", KissTcpAddress{"tnc.local", 8001},
                    "KISS TCP tnc.local:8001"},
        AddressCase{"HighestPort", "h:65535", KissTcpAddress{"h", 65535}, "KISS TCP h:65535"},
        AddressCase{"Ipv6", "[::1]:8100", KissTcpAddress{"::1", 8100}, "KISS TCP [::1]:8100"},
        AddressCase{"Ipv6WithoutPort", "[::1]", KissTcpAddress{"::1", 8001}, "KISS TCP [::1]:8001"},
        AddressCase{"Empty", "", std::nullopt, ""},
        AddressCase{"NoHost", ":8001", std::nullopt, ""},
        AddressCase{"EmptyPort", "h:", std::nullopt, ""},
        AddressCase{"PortZero", "h:0", std::nullopt, ""},
        AddressCase{"PortTooHigh", "h:65536", std::nullopt, ""},
        AddressCase{"PortNotANumber", "h:80x", std::nullopt, ""},
        AddressCase{"Ipv6Unclosed", "[::1:8001", std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlink
