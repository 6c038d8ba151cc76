#include "QuibSumCore/Engine.h"

#include <algorithm>
#include <utility>

#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Evaluator.h"
#include "QuibSumCore/Lexer.h"
#include "QuibSumCore/Parser.h"
#include "QuibSumCore/ResultFormatter.h"
#include "QuibSumCore/UnitRegistry.h"
#include "QuibSumCore/Utf8.h"
#include "QuibSumCore/VariableNames.h"

namespace quibsum {

namespace {

using Tag = Token::Tag;

// The line's tokens with their joiners; comments and the "?" placeholder dropped, so that
// "100 USD = ? VND" reads as "100 USD = VND".
std::vector<LineToken> lineTokens(std::string_view line, NumberStyle style) {
    std::vector<Lexeme> lexemes = Lexer(style).lexemes(line);
    std::vector<LineToken> tokens;
    tokens.reserve(lexemes.size());
    for (std::size_t i = 0; i < lexemes.size(); ++i) {
        Lexeme& l = lexemes[i];
        LineToken::Joiner joiner = i == 0 ? LineToken::Joiner::none
                                   : lexemes[i - 1].token.range.end() == l.token.range.location
                                       ? LineToken::Joiner::touching
                                       : LineToken::Joiner::space;
        if (l.token.kind.is(Tag::comment) || (l.token.kind.is(Tag::word) && l.text == "?")) continue;
        tokens.push_back(LineToken{std::move(l.token.kind), l.token.range, std::move(l.text), joiner});
    }
    return tokens;
}

bool isConversionVerb(const LineToken& t) {
    if (!t.kind.isOp(Op::convert)) return false;
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
    if (left.size() == 1 && left[0].is(Tag::currency)) return RateAmount{left[0].kind.text(), Decimal(1)};
    if (left.size() != 2) return std::nullopt;
    if (left[0].is(Tag::number) && left[1].is(Tag::currency))
        return RateAmount{left[1].kind.text(), left[0].kind.numberValue()};
    if (left[0].is(Tag::currency) && left[1].is(Tag::number))
        return RateAmount{left[0].kind.text(), left[1].kind.numberValue()};
    return std::nullopt;
}

void toResult(const Result<Quantity>& value, const Engine& engine, LineAnalysis& analysis) {
    if (value) {
        analysis.result = LineResult::value(*value, engine.format(*value));
    } else if (value.error().isMessage()) {
        analysis.result = LineResult::error(value.error().text);
    } else {
        analysis.result = LineResult::note();
    }
}

}  // namespace

Engine::Engine(std::shared_ptr<const RateStore> rates, NumberStyle style, RateKind defaultVNDKind)
    : rates_(std::move(rates)), style_(style), defaultVNDKind_(defaultVNDKind), converter_(*rates_) {}

std::string Engine::format(const Quantity& q) const { return ResultFormatter::format(q, style_); }

Result<Quantity> Engine::evaluate(const ExprTree& tree, const Environment& env, RateKind kind) const {
    return Evaluator(converter_, env, kind).evaluate(tree);
}

LineAnalysis Engine::analyze(std::string_view line, const Environment& env) const {
    LineAnalysis analysis;
    if (line.size() > maxLineLength && utf8::utf16Length(line) > maxLineLength) return analysis;

    std::vector<LineToken> tokens = lineTokens(line, style_);

    // A label before the first colon is not part of the calculation.
    if (auto colon = std::find_if(tokens.begin(), tokens.end(), [](const LineToken& t) { return t.is(Tag::colon); });
        colon != tokens.end()) {
        tokens.erase(tokens.begin(), colon + 1);
    }

    for (const LineToken& t : tokens) {
        if (!VariableNames::beginsWithLetter(t.text)) continue;
        std::string_view key = VariableNames::key(t.text);
        if (std::find(analysis.nameKeys.begin(), analysis.nameKeys.end(), key) == analysis.nameKeys.end())
            analysis.nameKeys.emplace_back(key);
    }

    if (tokens.size() == 1 && tokens[0].is(Tag::keyword)) {
        Keyword k = tokens[0].kind.keywordValue();
        if (k == Keyword::sum || k == Keyword::average) {
            analysis.aggregate = k == Keyword::sum ? Aggregate::sum : Aggregate::average;
            return analysis;
        }
    }

    auto assign = std::find_if(tokens.begin(), tokens.end(), [](const LineToken& t) { return t.is(Tag::assign); });
    if (assign == tokens.end()) {
        toResult(evaluateTokens(std::move(tokens), env, analysis, nullptr), *this, analysis);
        return analysis;
    }

    std::size_t k = static_cast<std::size_t>(assign - tokens.begin());
    std::span<const LineToken> left(tokens.data(), k);
    auto rightSide = [&] { return std::vector<LineToken>(tokens.begin() + static_cast<long>(k) + 1, tokens.end()); };

    // "USD 1 = 25000" spells a valid name too, but a currency and an amount before "=" always
    // define a rate.
    bool currencyThenNumber = k == 2 && left[0].is(Tag::currency) && left[1].is(Tag::number);
    if (!currencyThenNumber) {
        if (auto name = VariableNames::validName(left)) {
            analysis.assignedName = *name;
            analysis.variableRanges.push_back(
                TextRange{left.front().range.location, left.back().range.end() - left.front().range.location});
            toResult(evaluateTokens(rightSide(), env, analysis, nullptr), *this, analysis);
            return analysis;
        }
    }
    if (k + 2 == tokens.size() && (tokens.back().is(Tag::unit) || tokens.back().is(Tag::currency))) {
        // "5 km = m" converts.
        assign->kind = Token::Kind::op(Op::convert);
        assign->text = "=";
        toResult(evaluateTokens(std::move(tokens), env, analysis, nullptr), *this, analysis);
        return analysis;
    }
    if (rateAmount(left)) {
        defineRate(left, rightSide(), env, analysis);
        return analysis;
    }
    analysis.result = LineResult::error(std::string(messages::invalidVariableName));
    return analysis;
}

void Engine::defineRate(std::span<const LineToken> amountTokens, std::vector<LineToken> rhs, const Environment& env,
                        LineAnalysis& analysis) const {
    RateAmount left = *rateAmount(amountTokens);
    RateKind kind = defaultVNDKind_;
    auto right = evaluateTokens(std::move(rhs), env, analysis, &kind);
    if (!right) {
        toResult(right, *this, analysis);
        return;
    }
    std::optional<std::string> target;
    if (right->unit) target = right->unit->symbol;
    else if (left.currency != "VND") target = "VND";

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
    analysis.rateDefinition = SheetRate{left.currency, *target, rate};
    Quantity q{rate, Unit{*target}, Rate{rate, RateSource::sheet, distantPast(), kind}};

    auto written = [](const std::string& code) { return code == "VND" ? std::string("₫") : code; };
    char number[ResultFormatter::maxNumberLength];
    int length = ResultFormatter::writeNumber(rate, ResultFormatter::Category::number, style_, number);
    std::string display = "1 " + written(left.currency) + " = ";
    display.append(number, static_cast<std::size_t>(length));
    display += " " + written(*target);
    analysis.result = LineResult::value(std::move(q), std::move(display));
}

Result<Quantity> Engine::evaluateTokens(std::vector<LineToken> tokens, const Environment& env,
                                        LineAnalysis& analysis, RateKind* kindOut) const {
    // Names that contain spaces are joined first: the words inside a name ("giá bán", "đổi
    // tiền") are part of the name, not rate-kind keywords or conversion verbs.
    VariableNames::joinMultiWordNames(tokens, env);

    RateKind kind = defaultVNDKind_;
    bool buy = false, sell = false;
    for (const LineToken& t : tokens) {
        buy = buy || t.kind.isKeyword(Keyword::buy);
        sell = sell || t.kind.isKeyword(Keyword::sell);
    }
    if (buy) kind = RateKind::buy;
    else if (sell) kind = RateKind::sell;
    if (kindOut) *kindOut = kind;

    std::vector<Token::Kind> kinds;
    kinds.reserve(tokens.size());
    bool previousWasConvert = false;
    bool first = true;
    for (LineToken& t : tokens) {
        if (t.kind.isKeyword(Keyword::buy) || t.kind.isKeyword(Keyword::sell)) continue;
        bool isConvert = t.kind.isOp(Op::convert);
        bool leading = std::exchange(first, false);
        if (leading && isConversionVerb(t)) continue;  // "đổi 100 USD sang VND"
        if (isConvert && previousWasConvert) continue;  // "100 USD đổi sang VND"
        previousWasConvert = isConvert;
        if (t.is(Tag::word) && env.values.contains(t.text)) analysis.variableRanges.push_back(t.range);
        kinds.push_back(std::move(t.kind));
    }
    if (kinds.size() > maxTokens) return EvaluationError::syntax();

    auto parsed = Parser::parse(kinds);
    if (!parsed) return parsed.error();
    for (std::string& name : parsed->referencedNames) {
        if (std::find(analysis.referencedNames.begin(), analysis.referencedNames.end(), name) ==
            analysis.referencedNames.end())
            analysis.referencedNames.push_back(std::move(name));
    }
    analysis.usesPrev = analysis.usesPrev || parsed->usesPrev;

    auto value = Evaluator(converter_, env, kind).evaluate(parsed->tree);
    if (value && value->value.isNaN()) return EvaluationError::message(messages::invalidResult);
    return value;
}

}  // namespace quibsum
