#pragma once
// The entry point of the calculation engine: one line of text and the environment the lines
// above have built give the line's analysis and result. Immutable; may be used from several
// threads at once (the rate store answers concurrently).

#include <memory>
#include <optional>
#include <string_view>

#include "QuibSumCore/CurrencyConverter.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LineAnalysis.h"
#include "QuibSumCore/LinePipeline.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum {

class Engine {
public:
    Engine(std::shared_ptr<const RateStore> rates, NumberStyle style, RateKind defaultVNDKind);

    NumberStyle style() const { return style_; }
    RateKind defaultVNDKind() const { return defaultVNDKind_; }

    // Never fails: every failure ends up in the analysis' result.
    LineAnalysis analyze(std::string_view line, const Environment& env) const {
        return LinePipeline(converter_, style_, defaultVNDKind_).analyze(line, env);
    }
    LineResult evaluate(std::string_view line, const Environment& env) const { return analyze(line, env).result; }

    Result<Quantity> convert(const Quantity& q, const std::optional<Unit>& to, RateKind kind,
                             const SheetRates& sheetRates) const {
        bool askedStore = false;
        return convert(q, to, kind, sheetRates, askedStore);
    }
    // The same, setting `askedStore` when the conversion asked the rate store for a rate.
    Result<Quantity> convert(const Quantity& q, const std::optional<Unit>& to, RateKind kind,
                             const SheetRates& sheetRates, bool& askedStore) const {
        return converter_.convert(q, to, kind, sheetRates, askedStore);
    }

    // The display text of a quantity in the engine's style.
    std::string format(const Quantity& q) const;

private:
    std::shared_ptr<const RateStore> rates_;
    NumberStyle style_;
    RateKind defaultVNDKind_;
    CurrencyConverter converter_;
};

}  // namespace quibsum
