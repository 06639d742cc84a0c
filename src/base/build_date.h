// The day this program was built, which no right clock reading can precede.
#pragma once

#include <cstdint>

namespace vorlink {

// 00:00:00 UTC of the build day, in seconds since 1970-01-01 00:00:00 UTC.
std::int64_t BuildDay();

}  // namespace vorlink
