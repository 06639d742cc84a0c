// The operator's direct line to the TNC: the one-line terminal whose keys go
// out as they are typed, "Set TNC in CMD Mode" (the KISS return command) and
// "TNC Init" (the start script again). The window shows the controls and does
// what KeyPress asks of its text box; the bytes and texts are decided here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "link/serial_port.h"
#include "base/status_line.h"

namespace vorlink {

// What the terminal's text box must do with its content after a key. The key
// itself is never swallowed: the box goes on to handle it as usual.
enum class TextBoxAction {
  kLeave,    // any other key
  kShowEsc,  // Escape: the whole content becomes "[ESC]"
  kClear,    // Enter: the content is emptied
};

inline constexpr std::string_view kEscShown = "[ESC]";
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyEnter = 13;

class TncTerminal {
 public:
  // programFolder holds the scripts; incoming is the port to the TNC.
  TncTerminal(std::filesystem::path programFolder, SerialPort& incoming, StatusLine& status)
      : programFolder_(std::move(programFolder)), incoming_(incoming), status_(status) {}

  // A key press in the terminal, with its character code. Codes 0..255 go out
  // as one byte; a key typed while the port is closed is dropped, and the
  // first of a run of them says "COM 1 not open".
  TextBoxAction KeyPress(int code);

  // "Set TNC in CMD Mode": C0 FF C0 and "set TNC in CMD mode"; nothing at all
  // while the port is closed.
  void SetTncInCmdMode();

  // "TNC Init": the start script, exactly as at start-up; with the port
  // closed only "COM 1 not open", since nothing would reach the TNC.
  void TncInit();

 private:
  std::filesystem::path programFolder_;
  SerialPort& incoming_;
  StatusLine& status_;
  bool toldNotOpen_ = false;  // since the last key that went out
};

// "COM 1 not open".
std::string PortNotOpenText(const SerialPort& port);

}  // namespace vorlink
