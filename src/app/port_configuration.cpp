#include "app/port_configuration.h"

#include "app/config_file.h"
#include "app/port_line.h"
#include "base/text.h"
#include "link/comm_event_text.h"

namespace vorlink {

namespace {

std::string_view StateWord(bool open, bool lost, std::string_view openWord) {
  if (lost) return " lost ";
  return open ? openWord : " not available ";
}

}  // namespace

std::string PortText(const SerialPortComponent& port) { return PortText(port, false); }

std::string PortText(const SerialPortComponent& port, bool lost) {
  const std::string text = UpperCase(PortName(port) + ", " + port.Settings());
  return text + std::string(StateWord(port.PortOpen(), lost, " initialized "));
}

std::string KissTcpText(const KissTcpAddress& address, bool connected, bool lost) {
  return KissTcpName(address) + std::string(StateWord(connected, lost, " connected "));
}

std::string PortName(const SerialPortComponent& port) {
  return "COM " + std::to_string(port.CommPort());
}

std::vector<std::string> ConfigurePort(SerialPortComponent& port, std::string_view portLine,
                                       int lineNumber) {
  std::vector<std::string> problems;
  if (const auto fault = FindPortLineFault(portLine)) {
    problems.push_back(std::string(kIniFileName) + " line " + std::to_string(lineNumber) + ": " +
                       DescribePortLineFault(*fault));
  }
  if (port.PortOpen()) port.SetPortOpen(false);
  const PortLineParts parts = SplitPortLine(portLine);
  // A refused number or setting leaves the port's previous one; the open is
  // still tried with what the port then holds.
  port.SetCommPort(parts.port);
  port.SetSettings(parts.settings);
  if (!port.SetPortOpen(true)) {
    problems.push_back(PortProblemText(port.CommPort(), port.OpenError()));
  }
  return problems;
}

}  // namespace vorlink
