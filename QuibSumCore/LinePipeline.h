#pragma once
// LinePipeline: runs one line through the engine's stages. It lexes the line, makes the
// line-entry decisions (sets a label aside, collects the name keys, tells assignments, rate
// definitions and "5 km = m" conversions apart, joins multi-word names), and hands the
// remaining token kinds to the parser, the evaluator and the formatter. Its working storage is per thread and reused
// line after line, so a warm thread allocates almost nothing; any number of threads may analyse at once.

#include <span>
#include <string_view>

#include "QuibSumCore/CurrencyConverter.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LineAnalysis.h"
#include "QuibSumCore/LineToken.h"
#include "QuibSumCore/NumberStyle.h"

namespace quibsum {

class LinePipeline {
public:
    // Longer lines are not calculated: they are notes.
    static constexpr std::size_t maxLineLength = 10000;  // UTF-16 code units
    static constexpr std::size_t maxTokens = 512;

    LinePipeline(const CurrencyConverter& converter, NumberStyle style, RateKind defaultVNDKind)
        : converter_(converter), style_(style), defaultVNDKind_(defaultVNDKind) {}

    // Never fails: every failure ends up in the analysis' result.
    LineAnalysis analyze(std::string_view line, const Environment& env) const;

private:
    // `tokens` live in the calling thread's working storage and may be consumed.
    Result<Quantity> evaluateTokens(std::span<LineToken> tokens, const Environment& env, LineAnalysis& analysis,
                                    RateKind* kindOut) const;
    void defineRate(std::span<const LineToken> amount, std::span<LineToken> rhs, const Environment& env,
                    LineAnalysis& analysis) const;
    void setResult(Result<Quantity>&& value, LineAnalysis& analysis) const;

    const CurrencyConverter& converter_;
    NumberStyle style_;
    RateKind defaultVNDKind_;
};

}  // namespace quibsum
