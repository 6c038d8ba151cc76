#include "QuibSumCore/CurrencyConverter.h"

#include <algorithm>
#include <vector>

#include "QuibSumCore/UnitRegistry.h"

namespace quibsum {

namespace {

constexpr std::string_view vnd = "VND";
constexpr std::string_view usd = "USD";

bool positive(const Decimal& d) { return !d.isNaN() && d > Decimal(0); }

// One known step of a sheet conversion: the typed rate between `from` and `to`, as written
// (from -> to) or the other way round. A sheet types few rates, so a scan comparing the codes
// in place is cheaper than building the pair of strings a look-up in the map needs.
struct Leg {
    const Decimal* rate = nullptr;
    bool inverse = false;

    // Applies the step, multiplying by a direct rate or dividing by an inverse one, so that a
    // typed rate is applied exactly as written.
    Decimal apply(const Decimal& amount) const { return inverse ? amount / *rate : amount * *rate; }
    Decimal factor() const { return inverse ? Decimal(1) / *rate : *rate; }
};

std::optional<Leg> leg(std::string_view from, std::string_view to, const SheetRates& rates) {
    const Decimal* inverse = nullptr;
    for (const auto& [pair, value] : rates) {
        if (pair.from == from && pair.to == to) return Leg{&value, false};
        if (pair.from == to && pair.to == from) inverse = &value;
    }
    if (inverse) return Leg{inverse, true};
    return std::nullopt;
}

// The currencies that stand opposite `c` in a typed rate: VND first, then by code.
std::vector<std::string_view> intermediates(std::string_view c, std::string_view skip, const SheetRates& rates) {
    std::vector<std::string_view> out;
    auto consider = [&](std::string_view m) {
        if (m == skip || m == c) return;
        if (std::ranges::find(out, m) == out.end()) out.push_back(m);
    };
    for (const auto& [pair, value] : rates) {
        if (pair.from == c) consider(pair.to);
        if (pair.to == c) consider(pair.from);
    }
    std::ranges::sort(out, [](std::string_view a, std::string_view b) {
        if ((a == vnd) != (b == vnd)) return a == vnd;
        return a < b;
    });
    return out;
}

// The converted amount and the combined factor, from the typed rates alone.
std::optional<std::pair<Decimal, Decimal>> convertWithSheetRates(const Decimal& amount, std::string_view from,
                                                                 std::string_view to, const SheetRates& rates) {
    if (rates.empty()) return std::nullopt;
    if (auto direct = leg(from, to, rates)) return std::pair{direct->apply(amount), direct->factor()};
    for (std::string_view m : intermediates(from, to, rates)) {
        auto first = leg(from, m, rates);
        if (!first) continue;
        auto second = leg(m, to, rates);
        if (!second) continue;
        return std::pair{second->apply(first->apply(amount)), second->apply(first->apply(Decimal(1)))};
    }
    return std::nullopt;
}

}  // namespace

std::optional<Rate> CurrencyConverter::ask(std::string_view from, std::string_view to, RateKind kind,
                                           bool& asked) const {
    asked = true;
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
                                            const SheetRates& sheetRates, bool& askedStore) const {
    if (!q.unit) {
        if (!target) return q;
        return EvaluationError::of(EvaluationError::Kind::unitMismatch);
    }
    if (!target) return EvaluationError::of(EvaluationError::Kind::unitMismatch);
    const std::string_view from = q.unit->symbol;
    const std::string_view to = target->symbol;
    if (from == to) return q;
    // A percentage is a fraction, not a currency: converting it to anything else (or anything
    // into one) is a mismatch, never a missing exchange rate.
    if (from == percentSymbol || to == percentSymbol) return EvaluationError::of(EvaluationError::Kind::unitMismatch);

    if (UnitRegistry::isRegistered(from) || UnitRegistry::isRegistered(to)) {
        auto converted = UnitRegistry::convert(q.value, from, to);
        if (!converted) return converted.error();
        return Quantity{*converted, target, q.rate};
    }

    if (auto viaSheet = convertWithSheetRates(q.value, from, to, sheetRates)) {
        return Quantity{viaSheet->first, target, Rate{viaSheet->second, RateSource::sheet, distantPast(), kind}};
    }

    if (from == vnd || to == vnd) {
        const std::string_view foreign = from == vnd ? to : from;
        if (auto bank = ask(foreign, vnd, kind, askedStore); bank && positive(bank->value)) {
            Decimal value = from == vnd ? q.value / bank->value : q.value * bank->value;
            return Quantity{value, target, *bank};
        }
    }

    auto usdRate = [&](std::string_view c) -> std::optional<Rate> {
        if (c == usd) return Rate{Decimal(1), RateSource::exchangeRateAPI, distantPast(), RateKind::mid};
        auto r = ask(usd, c, RateKind::mid, askedStore);
        if (r && positive(r->value)) return r;
        return std::nullopt;
    };
    auto fromRate = usdRate(from);
    auto toRate = fromRate ? usdRate(to) : std::nullopt;
    if (!fromRate || !toRate) return EvaluationError::of(EvaluationError::Kind::noRate);
    Decimal value = q.value * toRate->value / fromRate->value;
    return Quantity{value, target, from == usd ? *toRate : *fromRate};
}

Result<Quantity> CurrencyConverter::applyInlineRate(const Quantity& amount, const Quantity& rateIn,
                                                    std::optional<std::string_view> target, RateKind kind) const {
    const auto invalid = [] { return EvaluationError::of(EvaluationError::Kind::invalidRate); };
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
        if (!rate.unit) return EvaluationError::of(EvaluationError::Kind::missingTargetCurrency);
        if (rate.unit->symbol == vnd) return invalid();
        return Quantity{amount.value / rate.value, rate.unit, applied};
    }
    Unit to = rate.unit ? *rate.unit : Unit{vnd};
    if (to.symbol == currency) return invalid();
    return Quantity{amount.value * rate.value, std::move(to), applied};
}

}  // namespace quibsum
