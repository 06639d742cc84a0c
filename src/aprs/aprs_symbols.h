// Symbol descriptions from the primary and alternate symbol tables.
#pragma once

#include <string_view>

#include "aprs/aprs_report.h"

namespace vorlink {

inline constexpr std::string_view kUnknownSymbol = "unknown symbol";

// "/>" Car, "\>" and "3>" Cars & Vehicles; kUnknownSymbol for an unassigned
// code or a table that is none of / \ A-Z 0-9.
std::string_view AprsSymbolDescription(AprsSymbol symbol);

}  // namespace vorlink
