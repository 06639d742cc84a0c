// The arguments of a program, read against a table of its options. Options
// are long ("--station DIR" or "--station=DIR"; a switch takes no value);
// "--help" (also "-h") and "--version" are known to every program; "--" ends
// the options and "-" alone is an operand (standard input). A new option is
// one more row in the program's table.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorlink {

struct OptionSpec {
  std::string_view name;       // "--station"
  std::string_view valueName;  // "DIR"; empty for a switch
  std::string_view help;       // one line
};

struct CommandLine {
  // The options given, by name; a switch has an empty value. The last of a
  // repeated option wins.
  std::map<std::string, std::string, std::less<>> options;
  std::vector<std::string> operands;
  bool help = false;
  bool version = false;
  // Why the arguments cannot be taken; empty when they can.
  std::string error;

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  std::optional<std::string> Value(std::string_view name) const;
};

CommandLine ParseCommandLine(std::span<const std::string_view> args,
                             std::span<const OptionSpec> options);

// The option lines of a --help text, the built-in ones last.
std::string OptionsHelp(std::span<const OptionSpec> options);

}  // namespace vorlink
