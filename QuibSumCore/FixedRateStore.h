#pragma once
// FixedRateStore: a RateStore over one snapshot that never changes, for tests, benchmarks and
// one-shot calculations that must not touch the network or the disk.

#include <cstdint>
#include <utility>

#include "QuibSumCore/RateSnapshot.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum {

class FixedRateStore final : public RateStore {
public:
    FixedRateStore() = default;
    explicit FixedRateStore(RateSnapshot snapshot, std::int64_t version = 0)
        : snapshot_(std::move(snapshot)), version_(version) {}

    std::optional<Rate> rate(std::string_view from, std::string_view to, RateKind kind) const override {
        return snapshot_.rate(from, to, kind);
    }
    std::int64_t version() const override { return version_; }
    const RateSnapshot& snapshot() const { return snapshot_; }

private:
    RateSnapshot snapshot_;
    std::int64_t version_ = 0;
};

}  // namespace quibsum
