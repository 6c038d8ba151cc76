#include "QuibSumCore/LinePipeline.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Evaluator.h"
#include "QuibSumCore/Lexer.h"
#include "QuibSumCore/Parser.h"
#include "QuibSumCore/ResultFormatter.h"
#include "QuibSumCore/Utf8.h"
#include "QuibSumCore/VariableNames.h"

namespace quibsum {

namespace {

using Tag = Token::Tag;

// Per-thread working storage. Every use starts by clearing what it takes, so a line that
// stopped half-way (an exception from a rate store) leaves nothing behind for the next one;
// clearing keeps the capacity, so a warm thread reuses the same memory line after line.
struct LineStorage {
    std::vector<LineToken> tokens;
    std::vector<LineToken> joined;
    std::vector<Token::Kind> joinedKinds;  // the kinds of the joined names
    std::vector<const Token::Kind*> kinds;
    ParsedExpression parsed;
};

LineStorage& lineStorage() {
    thread_local LineStorage s;
    return s;
}

bool isConversionVerb(const LineToken& t) {
    if (!t.kind->isOp(Op::convert)) return false;
    std::string text = utf8::lowered(t.text);
    return text == "đổi" || text == "quy đổi";
}

// The amount of a rate definition's left side: a currency alone (one unit of it), a number
// followed by a currency, or a currency followed by a number.
struct RateAmount {
    std::string currency;
    Decimal amount;
};

std::optional<RateAmount> rateAmount(std::span<const LineToken> left) {
    if (left.size() == 1 && left[0].is(Tag::currency)) return RateAmount{left[0].kind->text(), Decimal(1)};
    if (left.size() != 2) return std::nullopt;
    if (left[0].is(Tag::number) && left[1].is(Tag::currency))
        return RateAmount{left[1].kind->text(), left[0].kind->numberValue()};
    if (left[0].is(Tag::currency) && left[1].is(Tag::number))
        return RateAmount{left[0].kind->text(), left[1].kind->numberValue()};
    return std::nullopt;
}

}  // namespace

void LinePipeline::setResult(Result<Quantity>&& value, LineAnalysis& analysis) const {
    if (value) {
        std::string display = ResultFormatter::format(*value, style_);
        // Built in place: the quantity and its display are moved once, not through a temporary.
        analysis.result.payload.emplace<LineResult::Value>(std::move(*value), std::move(display));
    } else if (value.error().isMessage()) {
        analysis.result = LineResult::error(std::string(value.error().text()));
    } else {
        analysis.result = LineResult::note();
    }
}

LineAnalysis LinePipeline::analyze(std::string_view line, const Environment& env) const {
    LineAnalysis analysis;
    if (line.size() > maxLineLength && utf8::utf16Length(line) > maxLineLength) return analysis;

    std::vector<LineToken>& all = lineStorage().tokens;
    Lexer(style_).lineTokens(line, all);
    std::span<LineToken> tokens(all);

    // A label before the first colon is not part of the calculation.
    if (auto colon = std::find_if(tokens.begin(), tokens.end(), [](const LineToken& t) { return t.is(Tag::colon); });
        colon != tokens.end()) {
        tokens = tokens.subspan(static_cast<std::size_t>(colon - tokens.begin()) + 1);
    }

    for (const LineToken& t : tokens) {
        if (VariableNames::beginsWithLetter(t.text)) analysis.nameKeys.insert(VariableNames::key(t.text));
    }

    if (tokens.size() == 1 && tokens[0].is(Tag::keyword)) {
        Keyword k = tokens[0].kind->keywordValue();
        if (k == Keyword::sum || k == Keyword::average) {
            analysis.aggregate = k == Keyword::sum ? Aggregate::sum : Aggregate::average;
            return analysis;
        }
    }

    auto assign = std::find_if(tokens.begin(), tokens.end(), [](const LineToken& t) { return t.is(Tag::assign); });
    if (assign == tokens.end()) {
        setResult(evaluateTokens(tokens, env, analysis, nullptr), analysis);
        return analysis;
    }

    const std::size_t k = static_cast<std::size_t>(assign - tokens.begin());
    std::span<const LineToken> left = tokens.first(k);
    std::span<LineToken> right = tokens.subspan(k + 1);

    // "USD 1 = 25000" spells a valid name too, but a currency and an amount before "=" always
    // define a rate.
    bool currencyThenNumber = k == 2 && left[0].is(Tag::currency) && left[1].is(Tag::number);
    if (!currencyThenNumber) {
        if (auto name = VariableNames::validName(left)) {
            analysis.assignedName = std::move(*name);
            analysis.variableRanges.push_back(
                TextRange{left.front().range.location, left.back().range.end() - left.front().range.location});
            setResult(evaluateTokens(right, env, analysis, nullptr), analysis);
            return analysis;
        }
    }
    if (k + 2 == tokens.size() && (tokens.back().is(Tag::unit) || tokens.back().is(Tag::currency))) {
        // "5 km = m" converts.
        static const Token::Kind convert = Token::Kind::op(Op::convert);
        assign->kind = &convert;
        assign->text = "=";
        setResult(evaluateTokens(tokens, env, analysis, nullptr), analysis);
        return analysis;
    }
    if (rateAmount(left)) {
        defineRate(left, right, env, analysis);
        return analysis;
    }
    analysis.result = LineResult::error(std::string(messages::invalidVariableName));
    return analysis;
}

void LinePipeline::defineRate(std::span<const LineToken> amountTokens, std::span<LineToken> rhs, const Environment& env,
                              LineAnalysis& analysis) const {
    RateAmount left = *rateAmount(amountTokens);
    RateKind kind = defaultVNDKind_;
    auto right = evaluateTokens(rhs, env, analysis, &kind);
    if (!right) {
        setResult(std::move(right), analysis);
        return;
    }
    std::optional<std::string> target;
    if (right->unit)
        target = right->unit->symbol;
    else if (left.currency != "VND")
        target = "VND";

    const Decimal zero(0);
    if (!(left.amount > zero) || !(right->value > zero) || !target || !isCurrency(*target) ||
        *target == left.currency) {
        analysis.result = LineResult::error(std::string(messages::invalidRate));
        return;
    }
    Decimal rate = right->value / left.amount;
    if (rate.isNaN()) {
        analysis.result = LineResult::error(std::string(messages::invalidResult));
        return;
    }
    SheetRate definition{std::move(left.currency), *target, rate};
    std::string display = ResultFormatter::formatRate(definition, style_);
    Quantity q{rate, Unit{std::move(*target)}, Rate{rate, RateSource::sheet, distantPast(), kind}};
    analysis.rateDefinition = std::move(definition);
    analysis.result = LineResult::value(std::move(q), std::move(display));
}

Result<Quantity> LinePipeline::evaluateTokens(std::span<LineToken> tokens, const Environment& env,
                                              LineAnalysis& analysis, RateKind* kindOut) const {
    LineStorage& space = lineStorage();
    // Names that contain spaces are joined first: the words inside a name ("giá bán", "đổi
    // tiền") are part of the name, not rate-kind keywords or conversion verbs.
    if (VariableNames::joinMultiWordNames(tokens, env, space.joined, space.joinedKinds)) tokens = space.joined;

    RateKind kind = defaultVNDKind_;
    bool buy = false, sell = false;
    for (const LineToken& t : tokens) {
        buy = buy || t.kind->isKeyword(Keyword::buy);
        sell = sell || t.kind->isKeyword(Keyword::sell);
    }
    if (buy)
        kind = RateKind::buy;
    else if (sell)
        kind = RateKind::sell;
    if (kindOut) *kindOut = kind;

    std::vector<const Token::Kind*>& kinds = space.kinds;
    kinds.clear();
    bool previousWasConvert = false;
    bool first = true;
    for (const LineToken& t : tokens) {
        if (t.kind->isKeyword(Keyword::buy) || t.kind->isKeyword(Keyword::sell)) continue;
        bool isConvert = t.kind->isOp(Op::convert);
        bool leading = std::exchange(first, false);
        if (leading && isConversionVerb(t)) continue;   // "đổi 100 USD sang VND"
        if (isConvert && previousWasConvert) continue;  // "100 USD đổi sang VND"
        previousWasConvert = isConvert;
        if (t.is(Tag::word) && env.values.contains(t.text)) analysis.variableRanges.push_back(t.range);
        kinds.push_back(t.kind);
    }
    if (kinds.size() > maxTokens) return EvaluationError::syntax();

    ParsedExpression& parsed = space.parsed;
    if (auto failure = Parser::parse(kinds, parsed)) return std::move(*failure);
    for (const std::string& name : parsed.referencedNames) analysis.referencedNames.insert(name);
    analysis.usesPrev = analysis.usesPrev || parsed.usesPrev;

    auto value = Evaluator(converter_, env, kind, analysis.asksRateStore).evaluate(parsed.tree);
    if (value && value->value.isNaN()) return EvaluationError::of(EvaluationError::Kind::invalidResult);
    return value;
}

}  // namespace quibsum
