#include "QuibSum/common/QuickCalculator.h"

#include <QCoreApplication>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Environment.h"

namespace quibsum::QuickCalculator {

namespace {

bool hasLineBreak(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x0A && c <= 0x0D) return true;
        // U+0085 is C2 85; U+2028 and U+2029 are E2 80 A8 and E2 80 A9.
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x85) return true;
        if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            (static_cast<unsigned char>(text[i + 2]) == 0xA8 || static_cast<unsigned char>(text[i + 2]) == 0xA9))
            return true;
    }
    return false;
}

}  // namespace

std::string Failure::description() const {
    if (kind == Kind::engine) return message;
    return QCoreApplication::translate("Intents", "Cannot calculate this expression").toStdString();
}

std::variant<std::string, Failure> evaluate(std::string_view expression, std::shared_ptr<const RateStore> rates,
                                            NumberStyle style, RateKind defaultVNDKind) {
    if (hasLineBreak(expression)) return Failure{Failure::Kind::notExpression, {}};
    Engine engine(std::move(rates), style, defaultVNDKind);
    LineResult result = engine.evaluate(expression, Environment{});
    if (const auto* value = result.asValue()) return value->display;
    if (const auto* error = result.asError()) return Failure{Failure::Kind::engine, error->message};
    return Failure{Failure::Kind::notExpression, {}};
}

}  // namespace quibsum::QuickCalculator
