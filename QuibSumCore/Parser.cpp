#include "QuibSumCore/Parser.h"

#include <algorithm>

#include "QuibSumCore/Lexicon.h"

namespace quibsum {

namespace {

// Binding strengths. Conversions bind loosest so that "2 km + 300 m in ft" converts the sum;
// percentage phrases take additions on their right but no conversion.
constexpr int additive = 10;
constexpr int multiplicative = 20;
constexpr int power = 40;
constexpr int conversion = 5;
constexpr int percentPhrase = 7;
constexpr int unaryOperand = 50;
constexpr int postfix = 60;

// The function a word names ("Sqrt" is sqrt), or empty. Function names are short and ASCII,
// so a longer word is never one and the lower-casing needs no allocation.
std::string_view functionName(const std::string& word, char (&buffer)[8]) {
    if (word.size() > sizeof buffer) return {};
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        buffer[i] = c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c);
    }
    const std::string_view name(buffer, word.size());
    return Lexicon::isFunctionName(name) ? name : std::string_view();
}

}  // namespace

Result<ParsedExpression> Parser::parse(std::span<const Token::Kind> kinds) {
    std::vector<const Token::Kind*> pointers;
    pointers.reserve(kinds.size());
    for (const Token::Kind& kind : kinds) pointers.push_back(&kind);
    ParsedExpression out;
    if (auto failure = parse(pointers, out)) return std::move(*failure);
    return out;
}

std::optional<EvaluationError> Parser::parse(std::span<const Token::Kind* const> kinds, ParsedExpression& out) {
    out.tree.nodes.clear();
    out.tree.root = -1;
    out.referencedNames.clear();
    out.usesPrev = false;
    Parser p(kinds, out);
    out.tree.nodes.reserve(kinds.size() + 1);
    int root = p.parseExpression(0, 0);
    if (root < 0) return std::move(*p.error_);
    if (!p.atEnd()) return EvaluationError::syntax();
    out.tree.root = root;
    return std::nullopt;
}

Expr& Parser::node(Expr::Kind kind) {
    Expr& e = out_.tree.nodes.emplace_back();
    e.kind = kind;
    return e;
}

int Parser::fail() { return failWith(EvaluationError::syntax()); }

int Parser::failWith(EvaluationError error) {
    if (!error_) error_ = std::move(error);
    return -1;
}

int Parser::parsePrimary(int depth) {
    if (atEnd()) return fail();
    const Token::Kind& t = next();
    using Tag = Token::Tag;
    switch (t.tag()) {
        case Tag::number: {
            Expr& e = node(Expr::Kind::literal);
            e.quantity.value = t.numberValue();
            return lastNode();
        }
        case Tag::currency: {
            if (atEnd() || !peek().is(Tag::number)) return fail();
            Expr& e = node(Expr::Kind::literal);
            e.quantity.value = next().numberValue();
            e.quantity.unit = Unit{t.text()};
            return lastNode();
        }
        case Tag::word: {
            char buffer[8];
            if (std::string_view function = functionName(t.text(), buffer); !function.empty()) {
                int arg = parseExpression(unaryOperand, depth + 1);
                if (arg < 0) return -1;
                Expr& e = node(Expr::Kind::function);
                e.name = function;
                e.first = arg;
                return lastNode();
            }
            Expr& e = node(Expr::Kind::variable);
            e.name = t.text();
            auto& names = out_.referencedNames;
            if (std::find(names.begin(), names.end(), e.name) == names.end()) names.push_back(e.name);
            return lastNode();
        }
        case Tag::op: {
            if (t.opValue() != Op::subtract && t.opValue() != Op::add) return fail();
            int operand = parseExpression(unaryOperand, depth + 1);
            if (operand < 0 || t.opValue() == Op::add) return operand;
            Expr& e = node(Expr::Kind::unary);
            e.first = operand;
            return lastNode();
        }
        case Tag::keyword: {
            if (t.keywordValue() != Keyword::prev) return fail();
            out_.usesPrev = true;
            node(Expr::Kind::prev);
            return lastNode();
        }
        case Tag::lparen: {
            int inner = parseExpression(0, depth + 1);
            if (inner < 0) return -1;
            if (atEnd() || !peek().is(Tag::rparen)) return fail();
            ++pos_;
            return inner;
        }
        default:
            return fail();
    }
}

// The right side of a percentage phrase takes additions and everything tighter, but no
// conversion: "10% of 100 + 50" is 10% of 150.
int Parser::parsePercentage(Keyword keyword, int lhs, bool inverse, bool comparison, int depth) {
    int rhs = parseExpression(percentPhrase + 1, depth + 1);
    if (rhs < 0) return -1;
    Expr& e = node(Expr::Kind::percentage);
    e.keyword = keyword;
    e.first = lhs;
    e.second = rhs;
    e.inverse = inverse;
    e.comparison = comparison;
    return lastNode();
}

int Parser::parseExpression(int p, int depth) {
    if (depth > maxDepth) return fail();
    int lhs = parsePrimary(depth);
    if (lhs < 0) return -1;

    using Tag = Token::Tag;
    auto& nodes = out_.tree.nodes;
    auto binary = [&](Op op, int rhs) {
        Expr& e = node(Expr::Kind::binary);
        e.op = op;
        e.first = lhs;
        e.second = rhs;
        lhs = lastNode();
    };
    auto isBareLiteral = [&](int i) {
        return nodes[static_cast<std::size_t>(i)].kind == Expr::Kind::literal &&
               !nodes[static_cast<std::size_t>(i)].quantity.unit;
    };

    while (!atEnd()) {
        const Token::Kind& t = peek();
        switch (t.tag()) {
            case Tag::op: {
                Op op = t.opValue();
                if (op == Op::add || op == Op::subtract) {
                    if (additive < p) return lhs;
                    ++pos_;
                    int rhs = parseExpression(additive + 1, depth + 1);
                    if (rhs < 0) return -1;
                    binary(op, rhs);
                } else if (op == Op::multiply || op == Op::divide || op == Op::mod) {
                    if (multiplicative < p) return lhs;
                    ++pos_;
                    int rhs = parseExpression(multiplicative + 1, depth + 1);
                    if (rhs < 0) return -1;
                    binary(op, rhs);
                } else if (op == Op::power) {
                    if (power < p) return lhs;
                    ++pos_;
                    int rhs = parseExpression(power, depth + 1);  // right-associative
                    if (rhs < 0) return -1;
                    binary(op, rhs);
                } else {  // convert
                    if (p > conversion) return lhs;
                    goto explicitConversion;
                }
                continue;
            }
            case Tag::keyword: {
                Keyword k = t.keywordValue();
                if (k == Keyword::as) {
                    if (p > conversion) return lhs;
                    goto explicitConversion;
                }
                if (k == Keyword::of || k == Keyword::on || k == Keyword::off) {
                    if (p > percentPhrase) return lhs;
                    ++pos_;
                    bool inverse = false;
                    if (!atEnd() && peek().isKeyword(Keyword::what)) {
                        if (pos_ + 1 >= kinds_.size() || !kinds_[pos_ + 1]->isKeyword(Keyword::is)) return fail();
                        pos_ += 2;
                        inverse = true;
                    }
                    lhs = parsePercentage(k, lhs, inverse, false, depth);
                    if (lhs < 0) return -1;
                    continue;
                }
                if (k == Keyword::asPercent) {
                    if (p > percentPhrase) return lhs;
                    ++pos_;
                    if (atEnd()) return fail();
                    Keyword relation = peek().keywordValue();
                    if (!peek().is(Tag::keyword) ||
                        (relation != Keyword::of && relation != Keyword::on && relation != Keyword::off))
                        return fail();
                    ++pos_;
                    lhs = parsePercentage(relation, lhs, false, true, depth);
                    if (lhs < 0) return -1;
                    continue;
                }
                return lhs;
            }
            case Tag::unit: {
                if (p > postfix) return lhs;
                if (!isBareLiteral(lhs)) return fail();
                nodes[static_cast<std::size_t>(lhs)].quantity.unit = Unit{t.text()};
                ++pos_;
                continue;
            }
            case Tag::currency: {
                if (p <= postfix && isBareLiteral(lhs)) {
                    nodes[static_cast<std::size_t>(lhs)].quantity.unit = Unit{t.text()};
                    ++pos_;
                    continue;
                }
                if (p > conversion) return lhs;
                Expr& e = node(Expr::Kind::conversion);
                e.first = lhs;
                e.name = t.text();
                e.implicit = true;
                ++pos_;
                lhs = lastNode();
                continue;
            }
            case Tag::percent: {
                if (p > postfix) return lhs;
                ++pos_;
                Expr& e = node(Expr::Kind::percent);
                e.first = lhs;
                lhs = lastNode();
                continue;
            }
            case Tag::lparen: {
                if (p > multiplicative) return lhs;
                int rhs = parseExpression(multiplicative + 1, depth + 1);
                if (rhs < 0) return -1;
                binary(Op::multiply, rhs);
                continue;
            }
            case Tag::at: {
                if (p > conversion) return lhs;
                if (nodes[static_cast<std::size_t>(lhs)].kind == Expr::Kind::inlineRate)
                    return failWith(EvaluationError::of(EvaluationError::Kind::invalidRate));
                ++pos_;
                int rate = parseExpression(postfix + 1, depth + 1);
                if (rate < 0) return -1;
                Expr& e = node(Expr::Kind::inlineRate);
                e.first = lhs;
                e.second = rate;
                if (!atEnd() && peek().is(Tag::currency)) e.name = next().text();
                lhs = lastNode();
                continue;
            }
            default:
                return lhs;
        }

    explicitConversion : {
        ++pos_;
        if (atEnd() || !(peek().is(Tag::unit) || peek().is(Tag::currency))) return fail();
        Expr& e = node(Expr::Kind::conversion);
        e.first = lhs;
        e.name = next().text();
        lhs = lastNode();
    }
    }
    return lhs;
}

}  // namespace quibsum
