#include "QuibSumCore/Evaluator.h"

#include <cmath>

#include "QuibSumCore/DecimalScaling.h"

namespace quibsum {

namespace {

constexpr int maxExponent = 1024;

EvaluationError fail(EvaluationError::Kind kind) { return EvaluationError::of(kind); }

const OptionalRate& either(const OptionalRate& first, const OptionalRate& second) { return first ? first : second; }

Result<Quantity> power(const Quantity& l, const Quantity& r) {
    if (l.unit || r.unit) return fail(EvaluationError::Kind::invalidExponent);
    const Decimal& exponent = r.value;
    if (exponent.rounded(0, RoundingMode::down) != exponent || exponent.magnitude() > Decimal(maxExponent))
        return fail(EvaluationError::Kind::invalidExponent);
    long n = static_cast<long>(exponent.toDouble());  // an integer of at most four digits: exact
    CalculationStatus status = CalculationStatus::noError;
    Decimal raised = Decimal::power(l.value, n < 0 ? -n : n, RoundingMode::plain, status);
    if (status == CalculationStatus::overflow || status == CalculationStatus::divideByZero)
        return fail(EvaluationError::Kind::outOfRange);
    if (n < 0) {
        if (raised.isZero()) return fail(EvaluationError::Kind::outOfRange);
        raised = Decimal(1) / raised;
    }
    return Quantity{raised, std::nullopt, either(l.rate, r.rate)};
}

Result<Quantity> modulo(const Quantity& l, const Quantity& r) {
    if (l.unit || r.unit || r.value.isZero()) return fail(EvaluationError::Kind::invalidModulo);
    Decimal q = l.value / r.value;
    q = q.rounded(0, q.isNegative() ? RoundingMode::up : RoundingMode::down);
    return Quantity{l.value - q * r.value, std::nullopt, either(l.rate, r.rate)};
}

Result<Quantity> transcendental(double (*f)(double), const Decimal& x) {
    double y = f(x.toDouble());
    if (!std::isfinite(y)) return fail(EvaluationError::Kind::outsideDomain);
    return Quantity{Decimal::fromDouble(y), std::nullopt, std::nullopt};
}

}  // namespace

Result<Quantity> applyFunction(std::string_view name, const Quantity& argument) {
    if (argument.unit) return fail(EvaluationError::Kind::functionNeedsPlainNumber);
    const Decimal& x = argument.value;
    auto exact = [](Decimal d) { return Quantity{d, std::nullopt, std::nullopt}; };
    if (name == "abs") return exact(x.magnitude());
    if (name == "round") return exact(x.rounded(0, RoundingMode::plain));
    if (name == "floor") return exact(x.rounded(0, RoundingMode::down));
    if (name == "ceil") return exact(x.rounded(0, RoundingMode::up));
    if (name == "sin") return transcendental([](double v) { return std::sin(v); }, x);
    if (name == "cos") return transcendental([](double v) { return std::cos(v); }, x);
    if (name == "tan") return transcendental([](double v) { return std::tan(v); }, x);
    if (name == "log") return transcendental([](double v) { return std::log10(v); }, x);
    if (name == "ln") return transcendental([](double v) { return std::log(v); }, x);
    if (name == "sqrt" || name == "root") return transcendental([](double v) { return std::sqrt(v); }, x);
    return EvaluationError::syntax();
}

Result<Quantity> Evaluator::evaluate(const ExprTree& tree, int node) const {
    const Expr& e = tree[node];
    switch (e.kind) {
        case Expr::Kind::literal:
            return e.quantity;
        case Expr::Kind::variable: {
            auto it = env_.values.find(e.name);
            if (it == env_.values.end()) return EvaluationError::syntax();
            return it->second;
        }
        case Expr::Kind::prev:
            if (!env_.prev) return EvaluationError::syntax();
            return *env_.prev;
        case Expr::Kind::unary: {
            auto v = evaluate(tree, e.first);
            if (v) v->value = -v->value;
            return v;
        }
        case Expr::Kind::percent: {
            auto v = evaluate(tree, e.first);
            if (!v) return v;
            if (v->unit) return EvaluationError::syntax();
            v->value = scaledByPowerOfTen(v->value, -2);  // divided by 100
            v->unit = Unit{percentSymbol};
            return v;
        }
        case Expr::Kind::function: {
            auto v = evaluate(tree, e.first);
            if (!v) return v;
            return applyFunction(e.name, *v);
        }
        case Expr::Kind::binary: {
            auto l = evaluate(tree, e.first);
            if (!l) return l;
            auto r = evaluate(tree, e.second);
            if (!r) return r;
            return binary(e.op, std::move(*l), std::move(*r));
        }
        case Expr::Kind::conversion: {
            auto v = evaluate(tree, e.first);
            if (!v) return v;
            if (e.implicit && !isCurrency(v->unit)) return EvaluationError::syntax();
            return convert(*v, Unit{e.name});
        }
        case Expr::Kind::percentage: {
            auto l = evaluate(tree, e.first);
            if (!l) return l;
            auto r = evaluate(tree, e.second);
            if (!r) return r;
            return percentage(e, *l, *r);
        }
        case Expr::Kind::inlineRate: {
            auto amount = evaluate(tree, e.first);
            if (!amount) return amount;
            auto rate = evaluate(tree, e.second);
            if (!rate) return rate;
            std::optional<std::string_view> target;
            if (!e.name.empty()) target = e.name;
            return converter_.applyInlineRate(*amount, *rate, target, kind_);
        }
    }
    return EvaluationError::syntax();
}

Result<Quantity> Evaluator::binary(Op op, Quantity l, Quantity r) const {
    switch (op) {
        case Op::add:
        case Op::subtract: {
            if (r.isPercent()) {
                // a ± b% is a relative change of a, in a's unit.
                r.value = r.value * l.value;
                r.unit = l.unit;
            } else {
                std::optional<Unit> target = l.unit ? l.unit : r.unit;
                l.unit = target;
                if (!r.unit) r.unit = target;
                auto converted = convert(r, target);
                if (!converted) return converted;
                r = std::move(*converted);
            }
            Decimal value = op == Op::add ? l.value + r.value : l.value - r.value;
            return Quantity{value, l.unit, either(r.rate, l.rate)};
        }
        case Op::multiply: {
            if (l.unit && r.unit) return fail(EvaluationError::Kind::multiplyUnits);
            return Quantity{l.value * r.value, l.unit ? l.unit : r.unit, either(l.rate, r.rate)};
        }
        case Op::divide: {
            if (r.value.isZero()) return fail(EvaluationError::Kind::divisionByZero);
            if (!r.unit) return Quantity{l.value / r.value, l.unit, either(l.rate, r.rate)};
            auto converted = convert(r, l.unit);
            if (!converted) return converted;
            if (converted->value.isZero()) return fail(EvaluationError::Kind::divisionByZero);
            return Quantity{l.value / converted->value, std::nullopt, either(l.rate, converted->rate)};
        }
        case Op::power:
            return power(l, r);
        case Op::mod:
            return modulo(l, r);
        case Op::convert:
            return EvaluationError::syntax();
    }
    return EvaluationError::syntax();
}

Result<Quantity> Evaluator::percentage(const Expr& e, const Quantity& l, const Quantity& r) const {
    if (e.comparison) {
        auto converted = convert(l, r.unit);
        if (!converted) return converted;
        if (r.value.isZero()) return fail(EvaluationError::Kind::divisionByZero);
        Decimal ratio = converted->value / r.value;
        Decimal value = e.keyword == Keyword::of   ? ratio
                        : e.keyword == Keyword::on ? ratio - Decimal(1)
                                                   : Decimal(1) - ratio;
        return Quantity{value, Unit{percentSymbol}, either(converted->rate, r.rate)};
    }
    if (!l.isPercent()) return EvaluationError::syntax();
    const Decimal& p = l.value;
    Decimal factor = e.keyword == Keyword::of ? p : e.keyword == Keyword::on ? Decimal(1) + p : Decimal(1) - p;
    Quantity result = r;
    if (!e.inverse) {
        result.value = r.value * factor;
        return result;
    }
    if (factor.isZero()) return fail(EvaluationError::Kind::divisionByZero);
    result.value = r.value / factor;
    return result;
}

}  // namespace quibsum
