#pragma once
// VCBFeed: the bank's table of buy, transfer and sell rates against VND, with the time the
// bank stated for it. The rate module fetches and validates it; the engine only reads it.

#include <optional>

#include "QuibSumCore/CurrencyTable.h"
#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

// VND per one unit of a currency, for each kind the bank quotes it in. The bank leaves some
// kinds out for some currencies (cash buying of minor currencies), so any may be absent.
struct BankQuote {
    std::optional<Decimal> buy;
    std::optional<Decimal> transfer;
    std::optional<Decimal> sell;

    // The value for a bank kind; absent for `mid`, which the bank does not publish.
    const std::optional<Decimal>& value(RateKind kind) const {
        static const std::optional<Decimal> none;
        switch (kind) {
            case RateKind::buy:
                return buy;
            case RateKind::transfer:
                return transfer;
            case RateKind::sell:
                return sell;
            case RateKind::mid:
                break;
        }
        return none;
    }

    friend bool operator==(const BankQuote&, const BankQuote&) = default;
};

struct VCBFeed {
    CurrencyTable<BankQuote> quotes;  // upper-case code to its quote
    Instant asOf = distantPast();     // the publication time the table states

    friend bool operator==(const VCBFeed&, const VCBFeed&) = default;
};

}  // namespace quibsum
