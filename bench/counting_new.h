// The global operator new replaced to count heap allocations, for a bench's
// allocations-per-item figure. Include it in exactly one file of a program;
// the benches are single-threaded, as is the test that counts with it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::uint64_t allocationCount = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocationCount;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
