// A port set up from its line of the configuration file, and the text that
// says what became of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/kiss_tcp_address.h"
#include "link/serial_port_component.h"

namespace vorlink {

// "COM 1, 19200,N,8,1 initialized ": from what the port reports back;
// " not available " in place of " initialized " while it is not open.
std::string PortText(const SerialPortComponent& port);
// The same with " lost " while the link is away and being tried again.
std::string PortText(const SerialPortComponent& port, bool lost);
// "KISS TCP 127.0.0.1:8001 connected ", " not available " or " lost ".
std::string KissTcpText(const KissTcpAddress& address, bool connected, bool lost);
// "COM 1": how the pane lines and the log name a serial link.
std::string PortName(const SerialPortComponent& port);

// Configures a port from its port line (line lineNumber of the file) while
// closed, then opens it. Gives the status texts of what went wrong, in order:
// "vorlink.ini line 1: baud rate abc not understood", "COM 1: No such file
// or directory".
std::vector<std::string> ConfigurePort(SerialPortComponent& port, std::string_view portLine,
                                       int lineNumber);

}  // namespace vorlink
