// vorlink-aprs-bench: the APRS decoder over generated information fields of
// every report kind (tools/aprs_sample.h), on one core. Prints reports
// decoded per second, the best of three runs, and the heap allocations per
// report of each kind, counted by a replaced operator new.
//   vorlink-aprs-bench [REPORTS]
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "aprs_sample.h"
#include "counting_new.h"
#include "aprs/aprs_decoder.h"

namespace {

constexpr std::size_t kDefaultReports = 2'400'000;
constexpr std::size_t kDistinctSamples = 24'000;
constexpr std::uint64_t kSeed = 0x415052534245;
constexpr int kRuns = 3;

}  // namespace

int main(int argc, char** argv) {
  using namespace vorlink;
  const std::size_t reports = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : kDefaultReports;
  const auto samples = sample::AprsSamples(kDistinctSamples, kSeed);

  // Allocations per kind, and every kind decoded to what it should be.
  std::array<std::uint64_t, kAprsTypeCount> seen{}, allocations{};
  for (const auto& s : samples) {
    const std::uint64_t before = allocationCount;
    const AprsReport r = DecodeAprs(s.info, s.destination);
    if (const auto* t = r.As<AprsThirdParty>()) (void)DecodeInner(*t);
    allocations[static_cast<std::size_t>(r.type)] += allocationCount - before;
    ++seen[static_cast<std::size_t>(r.type)];
  }

  double best = 0;
  std::uint64_t checksum = 0;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < reports; ++i) {
      const auto& s = samples[i % samples.size()];
      const AprsReport r = DecodeAprs(s.info, s.destination);
      checksum += static_cast<std::uint64_t>(r.type);
      if (const AprsPosition* p = r.Position()) checksum += static_cast<std::uint64_t>(p->latitude);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::max(best, static_cast<double>(reports) / took.count());
  }

  std::printf("APRS decoder: %.0f reports/s (%zu reports, best of %d, checksum %llu)\n", best,
              reports, kRuns, static_cast<unsigned long long>(checksum));
  std::printf("%-18s %8s %s\n", "kind", "reports", "allocations/report");
  for (int k = 0; k < kAprsTypeCount; ++k) {
    if (seen[static_cast<std::size_t>(k)] == 0) continue;
    std::printf("%-18s %8llu %.2f\n", std::string(AprsTypeName(static_cast<AprsType>(k))).c_str(),
                static_cast<unsigned long long>(seen[static_cast<std::size_t>(k)]),
                static_cast<double>(allocations[static_cast<std::size_t>(k)]) /
                    static_cast<double>(seen[static_cast<std::size_t>(k)]));
  }
  return 0;
}
