#include "app/setup_choice.h"

#include <charconv>
#include <optional>

#include "base/text.h"
#include "link/line_settings.h"

namespace vorlink {
namespace {

constexpr std::array<std::string_view, 16> kPortEntries = {
    "COM01", "COM02", "COM03", "COM04", "COM05", "COM06", "COM07", "COM08",
    "COM09", "COM10", "COM11", "COM12", "COM13", "COM14", "COM15", "COM16"};
// Highest first; 2400 is not offered but can be typed.
constexpr std::array<std::string_view, 7> kBaudEntries = {"115200", "57600", "38400", "19200",
                                                          "9600",   "4800",  "1200"};
constexpr std::array<std::string_view, 2> kDataEntries = {"8", "7"};
constexpr std::array<std::string_view, 3> kParityEntries = {"N", "E", "O"};
constexpr std::array<std::string_view, 2> kStopEntries = {"1", "2"};

constexpr std::string_view kPortPrefix = "COM";
// The port line holds the number in two characters.
constexpr int kHighestPort = 99;
constexpr std::size_t kPortNumberStart = 3;
constexpr std::size_t kPortNumberLength = 2;

// Preselection by list position: COM01 and COM02, 19200, 8, N, 1.
constexpr int kIncomingPortEntry = 0;
constexpr int kOutgoingPortEntry = 1;
constexpr int kBaudEntry = 3;

// A whole decimal number of digits only; nothing for anything else.
std::optional<long long> Decimal(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.front() == '+' ||
      text.front() == '-') {
    return std::nullopt;
  }
  return value;
}

// Typed text that fits the port line, written as the list writes entries.
std::optional<std::string> FittingText(SetupColumn column, std::string_view text) {
  switch (column) {
    case SetupColumn::Port: {
      const int port = PortNumberOf(text);
      if (port == 0) return std::nullopt;
      return PortEntry(port);
    }
    case SetupColumn::Baud: {
      const auto baud = Decimal(text);
      if (!baud || *baud < 1 || *baud > kMaxBaud) return std::nullopt;
      return std::to_string(*baud);
    }
    case SetupColumn::Data:
      if (text.size() == 1 && text[0] >= '5' && text[0] <= '8') return std::string(text);
      return std::nullopt;
    case SetupColumn::Parity:
      for (std::string_view letter : {"N", "E", "O", "M", "S"}) {
        if (SameLetters(text, letter)) return std::string(letter);
      }
      return std::nullopt;
    case SetupColumn::Stop:
      for (std::string_view stop : {"1", "1.5", "2"}) {
        if (text == stop) return std::string(stop);
      }
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::span<const std::string_view> SetupEntries(SetupColumn column) {
  switch (column) {
    case SetupColumn::Port: return kPortEntries;
    case SetupColumn::Baud: return kBaudEntries;
    case SetupColumn::Data: return kDataEntries;
    case SetupColumn::Parity: return kParityEntries;
    case SetupColumn::Stop: return kStopEntries;
  }
  return {};
}

int PreselectedEntry(SetupFrame frame, SetupColumn column) {
  switch (column) {
    case SetupColumn::Port:
      return frame == SetupFrame::Incoming ? kIncomingPortEntry : kOutgoingPortEntry;
    case SetupColumn::Baud: return kBaudEntry;
    default: return 0;
  }
}

std::string_view SetupCaption(SetupColumn column) {
  switch (column) {
    case SetupColumn::Port: return "Port:";
    case SetupColumn::Baud: return "Baud:";
    case SetupColumn::Data: return "Data:";
    case SetupColumn::Parity: return "Parity:";
    case SetupColumn::Stop: return "Stop:";
  }
  return {};
}

std::string PortEntry(int port) {
  std::string entry(kPortPrefix);
  if (port < 10) entry += '0';
  entry += std::to_string(port);
  return entry;
}

int PortNumberOf(std::string_view text) {
  text = Trimmed(text);
  if (text.size() >= kPortPrefix.size() && SameLetters(text.substr(0, kPortPrefix.size()), kPortPrefix)) {
    text.remove_prefix(kPortPrefix.size());
  }
  const auto port = Decimal(text);
  if (!port || *port < 1 || *port > kHighestPort) return 0;
  return static_cast<int>(*port);
}

std::string SetupBoxValue(SetupFrame frame, SetupColumn column, std::string_view shown) {
  const std::span<const std::string_view> entries = SetupEntries(column);
  shown = Trimmed(shown);
  for (std::string_view entry : entries) {
    if (SameLetters(shown, entry)) return std::string(entry);
  }
  if (auto typed = FittingText(column, shown)) return *typed;
  return std::string(entries[static_cast<std::size_t>(PreselectedEntry(frame, column))]);
}

std::string BuildPortLine(const std::array<std::string, kSetupColumns>& values) {
  const auto& at = [&](SetupColumn column) -> const std::string& {
    return values[static_cast<std::size_t>(column)];
  };
  const std::string& port = at(SetupColumn::Port);
  std::string line = port.size() > kPortNumberStart
                         ? port.substr(kPortNumberStart, kPortNumberLength)
                         : std::string();
  for (SetupColumn column : {SetupColumn::Baud, SetupColumn::Parity, SetupColumn::Data,
                             SetupColumn::Stop}) {
    line += ',';
    line += at(column);
  }
  return line;
}

std::string PortLineFromBoxes(SetupFrame frame, const std::array<std::string, kSetupColumns>& shown) {
  std::array<std::string, kSetupColumns> values;
  for (std::size_t i = 0; i < kSetupColumns; ++i) {
    values[i] = SetupBoxValue(frame, kSetupColumnOrder[i], shown[i]);
  }
  return BuildPortLine(values);
}

LinkChoice KissTcpChoice(bool on, std::string_view host, std::string_view port) {
  LinkChoice choice;
  choice.kissTcp = on;
  const std::string_view blanks = " \t";
  const auto first = host.find_first_not_of(blanks);
  if (first != std::string_view::npos) {
    host = host.substr(first, host.find_last_not_of(blanks) - first + 1);
    choice.address.host = std::string(host);
  }
  if (const auto parsed = ParseKissTcpAddress("x:" + std::string(port))) {
    choice.address.port = parsed->port;
  }
  return choice;
}

KissServerChoice SharingChoice(bool on, std::string_view host, std::string_view port,
                               bool clientsTransmit) {
  KissServerChoice choice;
  choice.on = on;
  choice.clientsTransmit = clientsTransmit;
  // The same reading as the incoming peer's fields, the server's own default port.
  const LinkChoice fields = KissTcpChoice(on, host, port);
  choice.address.host = fields.address.host;
  if (const auto parsed = ParseKissTcpAddress("x:" + std::string(port))) {
    choice.address.port = parsed->port;
  }
  return choice;
}

}  // namespace vorlink
