#include "link/comm_event_text.h"

#include <array>

namespace vorlink {
namespace {

struct EventText {
  int code;
  std::string_view text;
};

// Mixed capitals and full stops are the texts operators know; keep them.
constexpr std::array<EventText, 15> kEventTexts{{
    {1, "There are characters in the transmit buffer."},
    {3, "Change in the CTS line."},
    {4, "Change in the DSR line."},
    {5, "Change in the CD line."},
    {6, "Ring Indicator"},
    {1001, "A Break was received."},
    {1002, "CTS Timeout."},
    {1003, "DSR Timeout."},
    {1004, "Framing Error"},
    {1006, "Data Lost"},
    {1007, "CD (RLSD) Timeout."},
    {1008, "Receive Buffer Overflow"},
    {1009, "Parity Error"},
    {1010, "Transmit Buffer full"},
    {1011, "Unexpected error retrieving DCB"},
}};

}  // namespace

std::optional<std::string_view> CommEventText(int code) {
  for (const EventText& entry : kEventTexts) {
    if (entry.code == code) return entry.text;
  }
  return std::nullopt;
}

std::string PortProblemText(int port, std::string_view problem) {
  return "COM " + std::to_string(port) + ": " + std::string(problem);
}

}  // namespace vorlink
