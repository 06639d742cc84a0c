// The data link's settings as vorlink.conf [ax25] holds them, set by hand:
//   t1_ms            T1 before a round trip was measured (1000..60000)
//   t3_s             idle poll T3 (10..86400)
//   retries          N2 (1..255)
//   window           k for modulo 8 (1..7)
//   window128        k for modulo 128 (1..127)
//   paclen           N1, the longest information field (1..256)
//   version22        connect with SABME (2.2), else SABM (2.0)
//   accept_incoming  answer other stations' connects, else refuse with DM
// A missing key or one out of its range keeps the default of
// LinkParameters.
#pragma once

#include "ax25link/link_parameters.h"

namespace vorlink {

struct Ax25Bounds {
  long long low;
  long long high;
};
inline constexpr Ax25Bounds kT1MsBounds{1000, 60000};
inline constexpr Ax25Bounds kT3SecondsBounds{10, 86400};
inline constexpr Ax25Bounds kRetriesBounds{1, 255};
inline constexpr Ax25Bounds kWindowBounds{1, 7};
inline constexpr Ax25Bounds kWindow128Bounds{1, 127};
// More would not fit the receive buffer of a KISS frame.
inline constexpr Ax25Bounds kPaclenBounds{1, 256};

struct Ax25Settings {
  LinkParameters link;

  friend bool operator==(const Ax25Settings& a, const Ax25Settings& b) {
    const LinkParameters& x = a.link;
    const LinkParameters& y = b.link;
    return x.initialT1 == y.initialT1 && x.minimumT1 == y.minimumT1 &&
           x.maximumT1 == y.maximumT1 && x.idlePollT3 == y.idlePollT3 &&
           x.retriesN2 == y.retriesN2 && x.windowModulo8 == y.windowModulo8 &&
           x.windowModulo128 == y.windowModulo128 && x.maxInfoN1 == y.maxInfoN1 &&
           x.sendQueueBytes == y.sendQueueBytes && x.version22 == y.version22 &&
           x.acceptIncoming == y.acceptIncoming;
  }
};

}  // namespace vorlink
