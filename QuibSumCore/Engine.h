#pragma once
// The entry point of the calculation engine: one line of text and the environment the lines
// above have built give the line's analysis and result. Immutable; may be used from several
// threads at once (the rate store answers concurrently).

#include <memory>
#include <span>
#include <vector>
#include <string_view>

#include "QuibSumCore/CurrencyConverter.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/Expr.h"
#include "QuibSumCore/LineAnalysis.h"
#include "QuibSumCore/LineToken.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum {

class Engine {
public:
    // Longer lines are not calculated: they are notes.
    static constexpr std::size_t maxLineLength = 10000;  // UTF-16 code units
    static constexpr std::size_t maxTokens = 512;

    Engine(std::shared_ptr<const RateStore> rates, NumberStyle style, RateKind defaultVNDKind);

    const RateStore& rates() const { return *rates_; }
    const std::shared_ptr<const RateStore>& sharedRates() const { return rates_; }
    NumberStyle style() const { return style_; }
    RateKind defaultVNDKind() const { return defaultVNDKind_; }

    // Never fails: every failure ends up in the analysis' result.
    LineAnalysis analyze(std::string_view line, const Environment& env) const;
    LineResult evaluate(std::string_view line, const Environment& env) const { return analyze(line, env).result; }
    Result<Quantity> evaluate(const ExprTree& tree, const Environment& env, RateKind kind) const;

    Result<Quantity> convert(const Quantity& q, const std::optional<Unit>& to, RateKind kind,
                             const SheetRates& sheetRates) const {
        return converter_.convert(q, to, kind, sheetRates);
    }

    // The display text of a quantity in the engine's style.
    std::string format(const Quantity& q) const;

private:
    Result<Quantity> evaluateTokens(std::vector<LineToken> tokens, const Environment& env, LineAnalysis& analysis,
                                    RateKind* kindOut) const;
    void defineRate(std::span<const LineToken> amount, std::vector<LineToken> rhs, const Environment& env,
                    LineAnalysis& analysis) const;

    std::shared_ptr<const RateStore> rates_;
    NumberStyle style_;
    RateKind defaultVNDKind_;
    CurrencyConverter converter_;
};

}  // namespace quibsum
