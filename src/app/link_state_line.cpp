#include "app/link_state_line.h"

#include "base/text.h"

namespace vorlink {
namespace {

constexpr long long kMillisecondsPerTenth = 100;

// "3.0 s": tenths of a second are what a radio link's timers differ by.
void AppendSeconds(std::string& out, std::chrono::milliseconds duration) {
  const long long tenths = (duration.count() + kMillisecondsPerTenth / 2) / kMillisecondsPerTenth;
  AppendDecimal(out, tenths / 10);
  out += '.';
  AppendDecimal(out, tenths % 10);
  out += " s";
}

void AppendPair(std::string& out, std::string_view name, int sent, int received) {
  out += name;
  out += ' ';
  AppendDecimal(out, sent);
  out += '/';
  AppendDecimal(out, received);
}

}  // namespace

std::string LinkStateLine(const LinkSnapshot& s) {
  std::string line(LinkStateText(s.state));
  const bool running = s.state == LinkState::Connected || s.state == LinkState::TimerRecovery;
  if (running) line += s.modulo128 ? " 2.2" : " 2.0";
  line += " | V(S) ";
  AppendDecimal(line, s.vs);
  line += " V(R) ";
  AppendDecimal(line, s.vr);
  line += " | outstanding ";
  AppendDecimal(line, s.outstanding);
  line += " | retries ";
  AppendDecimal(line, s.retries);
  line += " | T1 ";
  AppendSeconds(line, s.t1);
  line += ", round trip ";
  AppendSeconds(line, s.srtt);
  line += " | ";
  AppendPair(line, "REJ", s.rejSent, s.rejReceived);
  line += ' ';
  AppendPair(line, "SREJ", s.srejSent, s.srejReceived);
  if (s.ownBusy) line += " | we are busy";
  if (s.peerBusy) line += " | peer busy";
  return line;
}

}  // namespace vorlink
