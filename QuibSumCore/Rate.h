#pragma once
// The records that describe exchange rates: their kind, their source, one answered rate,
// a currency pair and a rate typed into a sheet.

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>

#include "QuibSumCore/Decimal.h"

namespace quibsum {

// An instant, to the second.
using Instant = std::chrono::sys_seconds;

// The earliest representable date; the asOf of every rate typed into a sheet.
constexpr Instant distantPast() { return std::chrono::sys_days{std::chrono::year{1} / 1 / 1}; }

enum class RateKind { mid, transfer, buy, sell };

enum class RateSource { vietcombank, exchangeRateAPI, seed, sheet };

// Units of the target currency per one unit of the source currency of the question asked.
struct Rate {
    Decimal value;
    RateSource source = RateSource::sheet;
    Instant asOf = distantPast();
    RateKind kind = RateKind::transfer;
    friend bool operator==(const Rate&, const Rate&) = default;
};

struct CurrencyPair {
    std::string from;
    std::string to;
    friend bool operator==(const CurrencyPair&, const CurrencyPair&) = default;
    friend auto operator<=>(const CurrencyPair&, const CurrencyPair&) = default;
};

struct CurrencyPairHash {
    std::size_t operator()(const CurrencyPair& p) const noexcept {
        std::size_t h = std::hash<std::string>{}(p.from);
        return h ^ (std::hash<std::string>{}(p.to) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};

// The rates typed in a sheet: one `from` is worth the value in `to`. Ordered, so that two
// sets compare cheaply and the search for an intermediate currency is deterministic.
using SheetRates = std::map<CurrencyPair, Decimal>;

// What a rate-definition line produces: one `from` is worth `value` of `to`.
struct SheetRate {
    std::string from;
    std::string to;
    Decimal value;
    friend bool operator==(const SheetRate&, const SheetRate&) = default;
};

// The rates after a rate-definition line: one `from` is worth `value` of `to` from now on, and
// a rate typed earlier for the same two currencies, either way round, no longer holds.
inline void applyRateDefinition(SheetRates& rates, const SheetRate& definition) {
    rates.erase(CurrencyPair{definition.to, definition.from});
    rates.insert_or_assign(CurrencyPair{definition.from, definition.to}, definition.value);
}

}  // namespace quibsum
