#pragma once
// Counts heap allocations in a benchmark program: AllocationCounter.cpp replaces the global
// operator new, so every benchmark linked with it can report allocations per unit of work.

#include <cstdint>

namespace quibsum::bench {

// Allocations made by the whole program so far.
std::int64_t allocationCount();

}  // namespace quibsum::bench
