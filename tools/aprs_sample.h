// Generated APRS information fields of every report kind, with their
// destination callsigns (Mic-E carries its latitude there), for the APRS
// benchmark, the fuzzer's seeds and tests. Drawn from SampleRandom, so a
// seed gives the same payloads everywhere.
#pragma once

#include <string>
#include <vector>

#include "sample_stream.h"

namespace vorlink::sample {

struct AprsSample {
  std::string destination;
  std::string info;
};

// One payload; kinds in turn as `kind` counts up (kAprsSampleKinds of them).
inline constexpr int kAprsSampleKinds = 24;
AprsSample MakeAprsSample(int kind, SampleRandom& random);
std::vector<AprsSample> AprsSamples(std::size_t count, std::uint64_t seed);

}  // namespace vorlink::sample
