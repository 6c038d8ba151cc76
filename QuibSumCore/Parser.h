#pragma once
// Precedence-climbing parser from the token kinds of one line to an ExprTree, with the
// bilingual percentage, conversion and inline-rate phrases.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "QuibSumCore/EvaluationError.h"
#include "QuibSumCore/Expr.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

struct ParsedExpression {
    ExprTree tree;
    std::vector<std::string> referencedNames;  // in order of first appearance, no repeats
    bool usesPrev = false;
};

class Parser {
public:
    static constexpr int maxDepth = 127;

    // Parses the whole of `kinds`. Every failure is `syntax` (tokens left over included),
    // except a second inline rate in one expression, which is the invalid-rate message.
    static Result<ParsedExpression> parse(std::span<const Token::Kind> kinds);
    // The same parse over kinds held elsewhere, as the line entry's tokens refer to them, into
    // `out`, whose storage is reused (a per-thread arena for the line entry): everything in it
    // is replaced. Returns the failure, or nullopt when it parsed.
    static std::optional<EvaluationError> parse(std::span<const Token::Kind* const> kinds, ParsedExpression& out);

private:
    Parser(std::span<const Token::Kind* const> kinds, ParsedExpression& out) : kinds_(kinds), out_(out) {}

    // Returns the index of the parsed node, or -1 with error_ set.
    int parseExpression(int minPrecedence, int depth);
    int parsePrimary(int depth);
    int parsePercentage(Keyword keyword, int lhs, bool inverse, bool comparison, int depth);
    // A new node, filled in place by the caller before anything else is added; lastNode() is
    // its index.
    Expr& node(Expr::Kind kind);
    int lastNode() const { return static_cast<int>(out_.tree.nodes.size()) - 1; }
    int fail();
    int failWith(EvaluationError error);

    bool atEnd() const { return pos_ >= kinds_.size(); }
    const Token::Kind& peek() const { return *kinds_[pos_]; }
    const Token::Kind& next() { return *kinds_[pos_++]; }

    std::span<const Token::Kind* const> kinds_;
    std::size_t pos_ = 0;
    ParsedExpression& out_;
    std::optional<EvaluationError> error_;
};

}  // namespace quibsum
