// The data link's settings, with the defaults a link starts from. Plain
// fields: the configuration file's [ax25] section fills them in.
#pragma once

#include <chrono>
#include <cstddef>

namespace vorlink {

struct LinkParameters {
  // T1 before any round trip was measured.
  std::chrono::milliseconds initialT1{3000};
  // The bounds T1 is kept in, whatever the measurements and back-off say.
  std::chrono::milliseconds minimumT1{1000};
  std::chrono::milliseconds maximumT1{60000};
  // T3: an idle link is polled this long after its last exchange.
  std::chrono::milliseconds idlePollT3{300000};
  int retriesN2 = 10;
  int windowModulo8 = 4;    // k for modulo 8
  int windowModulo128 = 32;  // k for modulo 128
  std::size_t maxInfoN1 = 256;
  // Data waiting to be sent; Send refuses what would go past it.
  std::size_t sendQueueBytes = 64 * 1024;
  // A connect request that names no version opens with SABME (2.2) when
  // set, else with SABM (2.0).
  bool version22 = false;
  // Connects from other stations are answered with UA, else refused with DM.
  bool acceptIncoming = true;
};

}  // namespace vorlink
