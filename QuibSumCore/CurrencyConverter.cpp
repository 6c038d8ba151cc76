#include "QuibSumCore/CurrencyConverter.h"

#include <algorithm>
#include <vector>

#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/UnitRegistry.h"

namespace quibsum {

namespace {

const std::string vnd = "VND";
const std::string usd = "USD";

bool positive(const Decimal& d) { return !d.isNaN() && d > Decimal(0); }

// One known step of a sheet conversion: the factor from `from` to `to`, read directly or
// inversely from the typed rates.
std::optional<Decimal> directFactor(const std::string& from, const std::string& to, const SheetRates& rates) {
    if (auto it = rates.find(CurrencyPair{from, to}); it != rates.end()) return it->second;
    if (auto it = rates.find(CurrencyPair{to, from}); it != rates.end()) return Decimal(1) / it->second;
    return std::nullopt;
}

// Converts `amount` one step, multiplying by a direct rate or dividing by an inverse one, so
// that a typed rate is applied exactly as written.
std::optional<Decimal> step(const Decimal& amount, const std::string& from, const std::string& to,
                            const SheetRates& rates) {
    if (auto it = rates.find(CurrencyPair{from, to}); it != rates.end()) return amount * it->second;
    if (auto it = rates.find(CurrencyPair{to, from}); it != rates.end()) return amount / it->second;
    return std::nullopt;
}

// The currencies that stand opposite `c` in a typed rate: VND first, then by code.
std::vector<const std::string*> intermediates(const std::string& c, const std::string& skip, const SheetRates& rates) {
    std::vector<const std::string*> out;
    auto consider = [&](const std::string& m) {
        if (m == skip || m == c) return;
        if (std::none_of(out.begin(), out.end(), [&](const std::string* s) { return *s == m; })) out.push_back(&m);
    };
    for (const auto& [pair, value] : rates) {
        if (pair.from == c) consider(pair.to);
        if (pair.to == c) consider(pair.from);
    }
    std::sort(out.begin(), out.end(), [](const std::string* a, const std::string* b) {
        if ((*a == vnd) != (*b == vnd)) return *a == vnd;
        return *a < *b;
    });
    return out;
}

// The converted amount and the combined factor, from the typed rates alone.
std::optional<std::pair<Decimal, Decimal>> convertWithSheetRates(const Decimal& amount, const std::string& from,
                                                                 const std::string& to, const SheetRates& rates) {
    if (rates.empty()) return std::nullopt;
    if (auto direct = step(amount, from, to, rates)) return std::pair{*direct, *directFactor(from, to, rates)};
    for (const std::string* m : intermediates(from, to, rates)) {
        auto first = step(amount, from, *m, rates);
        if (!first) continue;
        auto second = step(*first, *m, to, rates);
        if (!second) continue;
        Decimal factor = *step(*step(Decimal(1), from, *m, rates), *m, to, rates);
        return std::pair{*second, factor};
    }
    return std::nullopt;
}

thread_local std::uint64_t questionsAsked = 0;

}  // namespace

std::uint64_t CurrencyConverter::storeQuestions() { return questionsAsked; }

std::optional<Rate> CurrencyConverter::ask(std::string_view from, std::string_view to, RateKind kind) const {
    ++questionsAsked;
    return rates_.rate(from, to, kind);
}

bool isCurrency(std::string_view symbol) { return symbol != percentSymbol && !UnitRegistry::isRegistered(symbol); }

std::optional<Decimal> CurrencyConverter::sheetFactor(const std::string& from, const std::string& to,
                                                      const SheetRates& rates) {
    auto converted = convertWithSheetRates(Decimal(1), from, to, rates);
    if (!converted) return std::nullopt;
    return converted->second;
}

Result<Quantity> CurrencyConverter::convert(const Quantity& q, const std::optional<Unit>& target, RateKind kind,
                                            const SheetRates& sheetRates) const {
    if (!q.unit) {
        if (!target) return q;
        return EvaluationError::message(messages::unitMismatch);
    }
    if (!target) return EvaluationError::message(messages::unitMismatch);
    const std::string_view from = q.unit->symbol;
    const std::string_view to = target->symbol;
    if (from == to) return q;
    // A percentage is a fraction, not a currency: converting it to anything else (or anything
    // into one) is a mismatch, never a missing exchange rate.
    if (from == percentSymbol || to == percentSymbol) return EvaluationError::message(messages::unitMismatch);

    if (UnitRegistry::isRegistered(from) || UnitRegistry::isRegistered(to)) {
        auto converted = UnitRegistry::convert(q.value, from, to);
        if (!converted) return converted.error();
        return Quantity{*converted, target, q.rate};
    }

    if (auto viaSheet = convertWithSheetRates(q.value, std::string(from), std::string(to), sheetRates)) {
        return Quantity{viaSheet->first, target, Rate{viaSheet->second, RateSource::sheet, distantPast(), kind}};
    }

    if (from == vnd || to == vnd) {
        const std::string_view foreign = from == vnd ? to : from;
        if (auto bank = ask(foreign, vnd, kind); bank && positive(bank->value)) {
            Decimal value = from == vnd ? q.value / bank->value : q.value * bank->value;
            return Quantity{value, target, *bank};
        }
    }

    auto usdRate = [&](std::string_view c) -> std::optional<Rate> {
        if (c == usd) return Rate{Decimal(1), RateSource::exchangeRateAPI, distantPast(), RateKind::mid};
        auto r = ask(usd, c, RateKind::mid);
        if (r && positive(r->value)) return r;
        return std::nullopt;
    };
    auto fromRate = usdRate(from);
    auto toRate = fromRate ? usdRate(to) : std::nullopt;
    if (!fromRate || !toRate) return EvaluationError::message(messages::noRate);
    Decimal value = q.value * toRate->value / fromRate->value;
    return Quantity{value, target, from == usd ? *toRate : *fromRate};
}

Result<Quantity> CurrencyConverter::applyInlineRate(const Quantity& amount, const Quantity& rateIn,
                                                    std::optional<std::string_view> target, RateKind kind) const {
    const auto invalid = [] { return EvaluationError::message(messages::invalidRate); };
    Quantity rate = rateIn;
    if (target) {
        if (!rate.unit)
            rate.unit = Unit{std::string(*target)};
        else if (rate.unit->symbol != *target)
            return invalid();
    }
    if (!isCurrency(amount.unit) || !positive(rate.value)) return invalid();
    if (rate.unit && !isCurrency(rate.unit->symbol)) return invalid();

    Rate applied{rate.value, RateSource::sheet, distantPast(), kind};
    const std::string_view currency = amount.unit->symbol;
    if (currency == vnd) {
        if (!rate.unit) return EvaluationError::message(messages::missingTargetCurrency);
        if (rate.unit->symbol == vnd) return invalid();
        return Quantity{amount.value / rate.value, rate.unit, applied};
    }
    Unit to = rate.unit ? *rate.unit : Unit{vnd};
    if (to.symbol == currency) return invalid();
    return Quantity{amount.value * rate.value, std::move(to), applied};
}

}  // namespace quibsum
