#pragma once
// RateStore: the engine's only window on exchange rates. The engine asks from whatever thread
// evaluates a sheet, so every implementation must answer concurrently, from memory, without
// waiting for the network.

#include <cstdint>
#include <optional>
#include <string_view>

#include "QuibSumCore/Rate.h"

namespace quibsum {

class RateStore {
public:
    virtual ~RateStore() = default;

    // A mid rate from USD, or a bank rate towards VND (see RateSnapshot::rate); absent when the
    // store has none. Every answered value is greater than 0.
    virtual std::optional<Rate> rate(std::string_view from, std::string_view to, RateKind kind) const = 0;

    // Grows by one each time a table is replaced; a sheet evaluated with an older version is
    // out of date.
    virtual std::int64_t version() const = 0;
};

}  // namespace quibsum
