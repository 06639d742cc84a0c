// The build day comes from CMake as a compile definition of this file alone,
// so a new day rebuilds one small object and nothing else.
#include "base/build_date.h"

#ifndef VORLINK_BUILD_DAY
#error "VORLINK_BUILD_DAY must be defined by the build"
#endif

namespace vorlink {

std::int64_t BuildDay() { return VORLINK_BUILD_DAY; }

}  // namespace vorlink
