#pragma once
// Computes an expression tree on decimal quantities in one environment and with the line's
// rate kind: operators with their unit rules, percentages, functions, conversions and inline
// rates. Binary doubles appear only inside the transcendental functions.

#include "QuibSumCore/CurrencyConverter.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/EvaluationError.h"
#include "QuibSumCore/Expr.h"

namespace quibsum {

class Evaluator {
public:
    // Sets `askedStore` when a conversion asks the rate store for a rate.
    Evaluator(const CurrencyConverter& converter, const Environment& env, RateKind kind, bool& askedStore)
        : converter_(converter), env_(env), kind_(kind), askedStore_(askedStore) {}

    Result<Quantity> evaluate(const ExprTree& tree) const { return evaluate(tree, tree.root); }
    Result<Quantity> evaluate(const ExprTree& tree, int node) const;

private:
    Result<Quantity> binary(Op op, Quantity l, Quantity r) const;
    Result<Quantity> percentage(const Expr& e, const Quantity& l, const Quantity& r) const;
    Result<Quantity> convert(const Quantity& q, const std::optional<Unit>& to) const {
        return converter_.convert(q, to, kind_, env_.sheetRates, askedStore_);
    }

    const CurrencyConverter& converter_;
    const Environment& env_;
    RateKind kind_;
    bool& askedStore_;
};

// The function `name` (lower case) applied to a plain number.
Result<Quantity> applyFunction(std::string_view name, const Quantity& argument);

}  // namespace quibsum
