#pragma once
// ERAPIFeed: the mid-market table, units of each currency per one USD, with the service's own
// time of last update. The rate module fetches and validates it; the engine only reads it.

#include "QuibSumCore/CurrencyTable.h"
#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

struct ERAPIFeed {
    CurrencyTable<Decimal> quotes;  // code as the service spells it; "USD" is exactly 1
    Instant asOf = distantPast();

    friend bool operator==(const ERAPIFeed&, const ERAPIFeed&) = default;
};

}  // namespace quibsum
