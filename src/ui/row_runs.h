// Runs of consecutive rows among a model's changed rows, so that it tells
// its views of each run with one signal rather than of each row.
#pragma once

#include <cstddef>
#include <vector>

namespace vorlink {

// Calls run(first, last) for each run of consecutive rows in `sorted`
// below `limit`.
template <typename Run>
void ForEachRowRun(const std::vector<std::size_t>& sorted, std::size_t limit, Run run) {
  for (std::size_t k = 0; k < sorted.size() && sorted[k] < limit;) {
    std::size_t end = k + 1;
    while (end < sorted.size() && sorted[end] == sorted[end - 1] + 1 && sorted[end] < limit) ++end;
    run(sorted[k], sorted[end - 1]);
    k = end;
  }
}

}  // namespace vorlink
