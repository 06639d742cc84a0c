#include "base/command_line.h"

#include <algorithm>

namespace vorlink {
namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::size_t kHelpColumn = 24;

constexpr OptionSpec kBuiltIn[] = {
    {"--help", "", "show this text and exit"},
    {"--version", "", "show the program's name and version and exit"},
};

const OptionSpec* Find(std::span<const OptionSpec> options, std::string_view name) {
  const auto found = std::find_if(options.begin(), options.end(),
                                  [name](const OptionSpec& o) { return o.name == name; });
  return found == options.end() ? nullptr : &*found;
}

bool IsOption(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

std::string OptionLine(const OptionSpec& option, std::string_view shortName) {
  std::string line = "  ";
  if (!shortName.empty()) {
    line += shortName;
    line += ", ";
  }
  line += option.name;
  if (!option.valueName.empty()) {
    line += ' ';
    line += option.valueName;
  }
  line += line.size() + 2 > kHelpColumn ? std::string(2, ' ')
                                        : std::string(kHelpColumn - line.size(), ' ');
  line += option.help;
  line += '\n';
  return line;
}

}  // namespace

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  const auto found = options.find(name);
  if (found == options.end()) return std::nullopt;
  return found->second;
}

CommandLine ParseCommandLine(std::span<const std::string_view> args,
                             std::span<const OptionSpec> options) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      line.operands.emplace_back(arg);
      continue;
    }
    if (arg == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      line.help = true;
      continue;
    }
    if (arg == "--version") {
      line.version = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const OptionSpec* option = Find(options, name);
    if (option == nullptr) {
      line.error = "unknown option " + std::string(name);
    } else if (option->valueName.empty()) {
      if (equals != std::string_view::npos) {
        line.error = "option " + std::string(name) + " takes no value";
      } else {
        line.options[std::string(name)] = "";
      }
    } else if (equals != std::string_view::npos) {
      line.options[std::string(name)] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      line.options[std::string(name)] = args[++i];
    } else {
      line.error = "option " + std::string(name) + " needs a value (" +
                   std::string(option->valueName) + ")";
    }
  }
  return line;
}

std::string OptionsHelp(std::span<const OptionSpec> options) {
  std::string text;
  for (const OptionSpec& option : options) text += OptionLine(option, "");
  text += OptionLine(kBuiltIn[0], "-h");
  text += OptionLine(kBuiltIn[1], "");
  return text;
}

}  // namespace vorlink
