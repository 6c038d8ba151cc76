#pragma once
// Fixed exchange rates shared by the engine's tests, so that every expected figure can be
// worked out by hand.
//
// Bank (VND per unit): USD buy 25000, transfer 25100, sell 25400;
//                      EUR buy 26000, transfer 26200, sell 27000; JPY transfer only 170.
// Mid-market (per USD): EUR 0.9, GBP 0.8, JPY 150, VND 25300.

#include <memory>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/FixedRateStore.h"

namespace quibsum::testing {

inline std::shared_ptr<FixedRateStore> testRates() {
    // Benchmarks and fuzzers use these rates too, so no test framework here.
    auto dec = [](const char* text) { return *Decimal::parse(text); };
    RateSnapshot s;
    s.vcb.quotes = CurrencyTable<BankQuote>({
        {"USD", BankQuote{dec("25000"), dec("25100"), dec("25400")}},
        {"EUR", BankQuote{dec("26000"), dec("26200"), dec("27000")}},
        {"JPY", BankQuote{std::nullopt, dec("170"), std::nullopt}},
    });
    s.erapi.quotes = CurrencyTable<Decimal>({
        {"USD", dec("1")},
        {"EUR", dec("0.9")},
        {"GBP", dec("0.8")},
        {"JPY", dec("150")},
        {"VND", dec("25300")},
    });
    return std::make_shared<FixedRateStore>(std::move(s));
}

inline std::shared_ptr<FixedRateStore> noRates() { return std::make_shared<FixedRateStore>(); }

}  // namespace quibsum::testing
