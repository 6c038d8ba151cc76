#include "QuibSumCore/BlockSum.h"

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/EngineMessages.h"

namespace quibsum {

Result<std::optional<BlockSum>> BlockSum::of(std::span<const Quantity* const> values, const Engine& engine,
                                             const SheetRates& sheetRates, bool& askedStore) {
    std::optional<BlockSum> out;
    for (const Quantity* q : values) {
        if (q->isPercent()) continue;
        if (!out)
            out = BlockSum{*q, 1};
        else if (auto failure = out->add(*q, engine, sheetRates, askedStore))
            return *failure;
    }
    return finished(out);
}

bool BlockSum::addUnconverted(const Quantity& q) {
    if (!sum.unit) sum.unit = q.unit;
    // The common case, a value already in the sum's unit (or both plain numbers), is what the
    // conversion would hand back unchanged; it is added without building a copy.
    if (q.unit != sum.unit && q.unit) return false;
    sum.value += q.value;
    if (q.rate) sum.rate = q.rate;
    ++count;
    return true;
}

std::optional<EvaluationError> BlockSum::add(const Quantity& q, const Engine& engine, const SheetRates& sheetRates,
                                             bool& askedStore) {
    if (addUnconverted(q)) return std::nullopt;
    auto converted = engine.convert(q, sum.unit, engine.defaultVNDKind(), sheetRates, askedStore);
    if (!converted) return converted.error();
    sum.value += converted->value;
    if (converted->rate) sum.rate = converted->rate;
    ++count;
    return std::nullopt;
}

Result<std::optional<BlockSum>> BlockSum::finished(const std::optional<BlockSum>& sum) {
    if (sum && sum->sum.value.isNaN()) return EvaluationError::of(EvaluationError::Kind::invalidResult);
    return sum;
}

LineResult aggregateResultOf(const Result<std::optional<BlockSum>>& sum, Aggregate kind, const Engine& engine) {
    if (!sum) {
        const EvaluationError& e = sum.error();
        return LineResult::error(std::string(e.isMessage() ? e.text() : messages::unitMismatch));
    }
    if (!*sum) return LineResult::note();
    Quantity q = (*sum)->sum;
    if (kind == Aggregate::average) q.value /= Decimal((*sum)->count);
    if (q.value.isNaN()) return LineResult::error(std::string(messages::invalidResult));
    std::string display = engine.format(q);
    return LineResult::value(std::move(q), std::move(display));
}

PageTotal pageTotalOf(const Result<std::optional<BlockSum>>& sum, const Engine& engine) {
    PageTotal t;
    if (!sum) {
        const EvaluationError& e = sum.error();
        if (!e.isMessage())
            t.payload = PageTotal::Error{std::string(messages::invalidResult)};
        else if (e.kind == EvaluationError::Kind::unitMismatch)
            t.payload = PageTotal::Incompatible{};
        else
            t.payload = PageTotal::Error{std::string(e.text())};
    } else if (*sum) {
        const BlockSum& s = **sum;
        t.payload = PageTotal::Value{s.sum, engine.format(s.sum), s.count};
    }
    return t;
}

}  // namespace quibsum
