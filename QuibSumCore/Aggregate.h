#pragma once
// What an aggregate line computes over the block above it.

namespace quibsum {

enum class Aggregate { sum, average };

}  // namespace quibsum
