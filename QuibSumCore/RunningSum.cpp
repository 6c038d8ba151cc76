#include "QuibSumCore/RunningSum.h"

#include "QuibSumCore/Engine.h"

namespace quibsum {

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

Quantity RunningSum::quantity(const Kept& kept) const {
    Quantity q{kept.value, std::nullopt, std::nullopt};
    if (kept.unit != 0) q.unit = units_[kept.unit - 1];
    if (kept.rate != 0) q.rate = rates_[kept.rate - 1];
    return q;
}

void RunningSum::clear() {
    fixed_.reset();
    rest_.clear();
    units_.clear();
    rates_.clear();
    folded_ = 0;
    partial_.reset();
    error_.reset();
    askedStore_ = false;
}

void RunningSum::add(const Quantity& q) {
    if (q.isPercent()) return;
    if (!fixed_)
        fixed_ = BlockSum{q, 1};
    else if (!rest_.empty() || !fixed_->addUnconverted(q))
        rest_.push_back(Kept{q.value, intern(units_, q.unit), intern(rates_, q.rate.toOptional())});
}

// BlockSum::of's steps over the same values in the same order: the prefix that needed no
// rates was summed as it came; the rest is summed again only when the rates changed since the
// last time.
Result<std::optional<BlockSum>> RunningSum::sum(const Engine& engine, const SheetRates& rates, bool& askedStore) const {
    if (!rest_.empty()) {
        if (!partial_ || partialRates_ != rates) {
            partial_ = fixed_;
            partialRates_ = rates;
            folded_ = 0;
            error_.reset();
            askedStore_ = false;
        }
        for (; folded_ < rest_.size() && !error_; ++folded_)
            error_ = partial_->add(quantity(rest_[folded_]), engine, rates, askedStore_);
        askedStore = askedStore || askedStore_;
        if (error_) return *error_;
    }
    return BlockSum::finished(rest_.empty() ? fixed_ : partial_);
}

}  // namespace quibsum
