// Numbers read from text fields: whole digits and plain decimals, nothing
// else accepted (no blanks, no exponent), so a field either reads or is none.
#pragma once

#include <optional>
#include <string_view>

namespace vorlink {

// All characters digits (and at least one): the value; otherwise none.
std::optional<int> Digits(std::string_view text);
// A decimal number, a leading '-' allowed ("12", "-3", "45.7", ".5").
std::optional<double> Decimal(std::string_view text);

}  // namespace vorlink
