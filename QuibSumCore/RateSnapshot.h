#pragma once
// RateSnapshot: the two tables every rate question is answered from (the bank's VND table and
// the mid-market USD table), each with its date and whether it still comes from the shipped
// seed. An immutable value once built; the live store swaps whole snapshots.

#include <optional>
#include <string_view>

#include "QuibSumCore/ERAPIFeed.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/VCBFeed.h"

namespace quibsum {

struct RateSnapshot {
    VCBFeed vcb;
    ERAPIFeed erapi;
    bool vcbIsSeed = false;
    bool erapiIsSeed = false;

    // The store's answer. Only two primitive questions have one:
    //  - mid: from USD to any currency of the mid-market table;
    //  - buy, transfer, sell: from any currency of the bank table to VND.
    // Everything else (cross rates, the USD identity, the inverse direction) is the engine's
    // work. Codes are compared upper-cased. Never allocates.
    std::optional<Rate> rate(std::string_view from, std::string_view to, RateKind kind) const;

    friend bool operator==(const RateSnapshot&, const RateSnapshot&) = default;
};

}  // namespace quibsum
