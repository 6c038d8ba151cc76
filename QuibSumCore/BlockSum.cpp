#include "QuibSumCore/BlockSum.h"

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/EngineMessages.h"

namespace quibsum {

Result<std::optional<BlockSum>> BlockSum::of(std::span<const Quantity* const> values, const Engine& engine,
                                             const SheetRates& sheetRates) {
    std::optional<BlockSum> out;
    for (const Quantity* q : values) {
        if (q->isPercent()) continue;
        if (!out) {
            out = BlockSum{*q, 1};
            continue;
        }
        Quantity& sum = out->sum;
        if (!sum.unit) sum.unit = q->unit;
        // The common case, a value already in the sum's unit (or both plain numbers), is what
        // the conversion would hand back unchanged; skip building a copy for it.
        if (q->unit == sum.unit || !q->unit) {
            sum.value += q->value;
            if (q->rate) sum.rate = q->rate;
        } else {
            auto converted = engine.convert(*q, sum.unit, engine.defaultVNDKind(), sheetRates);
            if (!converted) return converted.error();
            sum.value += converted->value;
            if (converted->rate) sum.rate = converted->rate;
        }
        ++out->count;
    }
    if (out && out->sum.value.isNaN()) return EvaluationError::message(messages::invalidResult);
    return out;
}

LineResult aggregateResultOf(const Result<std::optional<BlockSum>>& sum, Aggregate kind, const Engine& engine) {
    if (!sum) {
        const EvaluationError& e = sum.error();
        return LineResult::error(e.isMessage() ? e.text : std::string(messages::unitMismatch));
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
        else if (e.text == messages::unitMismatch)
            t.payload = PageTotal::Incompatible{};
        else
            t.payload = PageTotal::Error{e.text};
    } else if (*sum) {
        const BlockSum& s = **sum;
        t.payload = PageTotal::Value{s.sum, engine.format(s.sum), s.count};
    }
    return t;
}

}  // namespace quibsum
