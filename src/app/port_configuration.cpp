#include "app/port_configuration.h"

#include "app/config_file.h"
#include "app/port_line.h"
#include "base/text.h"
#include "link/comm_event_text.h"

namespace vorlink {

std::string PortText(const SerialPortComponent& port) {
  const std::string text = UpperCase("COM " + std::to_string(port.CommPort()) + ", " + port.Settings());
  return text + (port.PortOpen() ? " initialized " : " not available ");
}

std::vector<std::string> ConfigurePort(SerialPortComponent& port, std::string_view portLine,
                                       int lineNumber) {
  std::vector<std::string> problems;
  if (const auto fault = FindPortLineFault(portLine)) {
    problems.push_back(std::string(kConfigFileName) + " line " + std::to_string(lineNumber) + ": " +
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
