// What loading and unloading the main window do, step by step. Every step is
// tried whatever happened before; a step that fails is skipped. A port line
// not understood and a port that did not open are told on the status line.
// Both sequences are repeatable: the setup dialog's OK unloads the window
// and loads it again within one process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/station.h"
#include "capture/capture_files.h"
#include "app/receive_pipeline.h"
#include "link/serial_port_component.h"
#include "base/status_line.h"
#include "base/clock.h"
#include "time/time_server_client.h"
#include "tnc/port_mirror.h"

namespace vorlink {

class StartUpView {
 public:
  virtual ~StartUpView() = default;
  // Not modal, with the focus; start-up goes on at once.
  virtual void OpenSetupDialogWithFocus() = 0;
  virtual void SetLabel2(std::string_view text) = 0;  // the incoming port
  virtual void SetLabel8(std::string_view text) = 0;  // the outgoing port
};

// The parts of one loaded main window, and the process they live in.
struct WindowParts {
  Station& station;
  Clock& clock;
  SerialPortComponent& incoming;  // MSComm1
  SerialPortComponent& outgoing;  // MSComm2
  ReceivePipeline& pipeline;
  TimeServerClient& timeClient;   // Winsock1
  PortMirror& mirror;
  CaptureFiles& captures;
  StatusLine& status;
  StartUpView& view;
};

// "COM 1, 19200,N,8,1 initialized ": from what the port reports back;
// " not available " in place of " initialized " while it is not open.
std::string PortText(const SerialPortComponent& port);

// Configures a port from its port line (line lineNumber of the file) while
// closed, then opens it. Gives the status texts of what went wrong, in order:
// "vorlink.ini line 1: baud rate abc not understood", "COM 1: No such file
// or directory".
std::vector<std::string> ConfigurePort(SerialPortComponent& port, std::string_view portLine,
                                       int lineNumber);

void RunStartUp(WindowParts& parts);
void RunShutDown(WindowParts& parts);

}  // namespace vorlink
