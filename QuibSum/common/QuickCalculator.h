#pragma once
// QuickCalculator: one expression evaluated on its own, with no sheet around it (no variables,
// no previous result, no typed rates), giving its display text or why it has none.

#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum::QuickCalculator {

struct Failure {
    enum class Kind { engine, notExpression };
    Kind kind = Kind::notExpression;
    std::string message;  // the engine's message; empty for notExpression

    // What a person is shown: the engine's message, or "Cannot calculate this expression".
    std::string description() const;

    friend bool operator==(const Failure&, const Failure&) = default;
};

// The display string, or the failure. Text with a line break of any kind is refused before
// anything is evaluated: it would be several lines.
std::variant<std::string, Failure> evaluate(std::string_view expression, std::shared_ptr<const RateStore> rates,
                                            NumberStyle style, RateKind defaultVNDKind);

}  // namespace quibsum::QuickCalculator
