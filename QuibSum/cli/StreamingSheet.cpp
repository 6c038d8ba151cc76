#include "QuibSum/cli/StreamingSheet.h"

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/Utf8.h"

namespace quibsum {

namespace {

enum class Shape { blank, heading, other };

// How a line stands in the block and the chain of previous results, from its first character
// that is not white space.
Shape shapeOf(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c = utf8::decode(text, pos);
        if (!Lexicon::isWhiteSpace(c)) return c == U'#' ? Shape::heading : Shape::other;
    }
    return Shape::blank;
}

}  // namespace

namespace {

// 1 + the index of an equal item, appended when new; 0 for none. Recent items are looked at
// first and only so far: a repeat further back is stored again, which costs memory, not time.
template <class T>
std::uint32_t intern(std::vector<T>& items, const std::optional<T>& item) {
    if (!item) return 0;
    for (std::size_t i = items.size(), looked = 0; i > 0 && looked < 64; --i, ++looked)
        if (items[i - 1] == *item) return static_cast<std::uint32_t>(i);
    items.push_back(*item);
    return static_cast<std::uint32_t>(items.size());
}

}  // namespace

Quantity StreamingSheet::RunningSum::quantity(const Kept& kept) const {
    Quantity q{kept.value, std::nullopt, std::nullopt};
    if (kept.unit != 0) q.unit = units_[kept.unit - 1];
    if (kept.rate != 0) q.rate = rates_[kept.rate - 1];
    return q;
}

void StreamingSheet::RunningSum::clear() {
    fixed_.reset();
    rest_.clear();
    units_.clear();
    rates_.clear();
    folded_ = 0;
    partial_.reset();
    error_.reset();
}

void StreamingSheet::RunningSum::add(const Quantity& q) {
    if (q.isPercent()) return;
    auto keep = [&] { rest_.push_back(Kept{q.value, intern(units_, q.unit), intern(rates_, q.rate.toOptional())}); };
    if (!rest_.empty()) {
        keep();
        return;
    }
    if (!fixed_) {
        fixed_ = BlockSum{q, 1};
        return;
    }
    Quantity& sum = fixed_->sum;
    if (!sum.unit) sum.unit = q.unit;
    if (q.unit == sum.unit || !q.unit) {
        sum.value += q.value;
        if (q.rate) sum.rate = q.rate;
        ++fixed_->count;
    } else {
        keep();  // needs the rates in force when the sum is asked for
    }
}

// The same steps as BlockSum::of, in the same order: the prefix that needed no rates is summed
// once; the rest is summed again only when the rates changed since the last time.
Result<std::optional<BlockSum>> StreamingSheet::RunningSum::sum(const Engine& engine, const SheetRates& rates) const {
    if (!rest_.empty()) {
        if (!partial_ || partialRates_ != rates) {
            partial_ = fixed_;
            partialRates_ = rates;
            folded_ = 0;
            error_.reset();
        }
        for (; folded_ < rest_.size() && !error_; ++folded_) {
            const Quantity q = quantity(rest_[folded_]);
            Quantity& sum = partial_->sum;
            if (!sum.unit) sum.unit = q.unit;
            if (q.unit == sum.unit || !q.unit) {
                sum.value += q.value;
                if (q.rate) sum.rate = q.rate;
            } else {
                auto converted = engine.convert(q, sum.unit, engine.defaultVNDKind(), rates);
                if (!converted) {
                    error_ = converted.error();
                    break;
                }
                sum.value += converted->value;
                if (converted->rate) sum.rate = converted->rate;
            }
            ++partial_->count;
        }
        if (error_) return *error_;
    }
    const std::optional<BlockSum>& out = rest_.empty() ? fixed_ : partial_;
    if (out && out->sum.value.isNaN()) return EvaluationError::message(messages::invalidResult);
    return out;
}

StreamingSheet::StreamingSheet(Engine engine) : engine_(std::move(engine)) {}

const LineResult& StreamingSheet::add(std::string_view line) {
    const Shape shape = shapeOf(line);
    if (shape != Shape::other) block_.clear();

    env_.prev = prev_;
    LineAnalysis a = engine_.analyze(line, env_);
    if (a.usesPrev && !prev_) a.result = LineResult::error(std::string(messages::noPreviousResult));
    if (a.aggregate) a.result = aggregate(*a.aggregate);
    result_ = std::move(a.result);
    counted_ = !a.aggregate && !a.rateDefinition;

    const LineResult::Value* value = result_.asValue();
    if (value && a.rateDefinition) {
        const SheetRate& d = *a.rateDefinition;
        env_.sheetRates.erase(CurrencyPair{d.to, d.from});
        env_.sheetRates.insert_or_assign(CurrencyPair{d.from, d.to}, d.value);
        prev_.reset();
    } else if (value) {
        if (a.assignedName) env_.assign(*a.assignedName, value->quantity);
        prev_ = value->quantity;
        block_.add(value->quantity);
    } else if (shape != Shape::blank) {
        prev_.reset();
    }
    if (value && counted_) page_.add(value->quantity);
    return result_;
}

LineResult StreamingSheet::aggregate(Aggregate kind) {
    return aggregateResultOf(block_.sum(engine_, env_.sheetRates), kind, engine_);
}

PageTotal StreamingSheet::total() const { return pageTotalOf(page_.sum(engine_, env_.sheetRates), engine_); }

}  // namespace quibsum
