// The status texts for serial port events other than received data.
#pragma once

#include <optional>
#include <string_view>

namespace vorlink {

// The text for a CommEvent code, or nothing for codes that change nothing
// (code 2, received data, included).
std::optional<std::string_view> CommEventText(int code);

}  // namespace vorlink
