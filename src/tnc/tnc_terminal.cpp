#include "tnc/tnc_terminal.h"

#include <cstdint>
#include <span>

#include "link/kiss.h"
#include "tnc/tnc_script.h"

namespace vorlink {
namespace {

constexpr std::string_view kCmdModeText = "set TNC in CMD mode";
constexpr int kLargestByteCode = 255;

TextBoxAction ActionFor(int code) {
  switch (code) {
    case kKeyEscape:
      return TextBoxAction::kShowEsc;
    case kKeyEnter:
      return TextBoxAction::kClear;
    default:
      return TextBoxAction::kLeave;
  }
}

}  // namespace

std::string PortNotOpenText(const SerialPort& port) {
  return "COM " + std::to_string(port.CommPort()) + " not open";
}

TextBoxAction TncTerminal::KeyPress(int code) {
  // Keys without a single-byte code (arrows, function keys, wide characters)
  // have nothing to send.
  if (code < 0 || code > kLargestByteCode) return ActionFor(code);
  if (incoming_.PortOpen()) {
    const std::uint8_t byte = static_cast<std::uint8_t>(code);
    (void)incoming_.Output(std::span(&byte, 1));
    toldNotOpen_ = false;
  } else if (!toldNotOpen_) {
    // Once for a run of keys, or the message log fills with the same line.
    status_.SetSimpleText(PortNotOpenText(incoming_));
    toldNotOpen_ = true;
  }
  return ActionFor(code);
}

void TncTerminal::SetTncInCmdMode() {
  if (!incoming_.PortOpen()) return;
  (void)incoming_.Output(kReturnCommand);
  status_.SetSimpleText(kCmdModeText);
}

void TncTerminal::TncInit() {
  if (!incoming_.PortOpen()) {
    status_.SetSimpleText(PortNotOpenText(incoming_));
    return;
  }
  SendTncScript(programFolder_, kStartScript, incoming_, status_);
}

}  // namespace vorlink
