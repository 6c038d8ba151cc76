#pragma once
// The expression tree of one line. Nodes live in one vector and refer to their operands by
// index, so a parse costs a single allocation however deep the expression.

#include <string>
#include <vector>

#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

struct Expr {
    enum class Kind : std::uint8_t {
        literal,     // `quantity`
        variable,    // `name` as typed
        unary,       // -first
        binary,      // first `op` second
        percent,     // first %
        conversion,  // first converted to the unit `name`; `implicit` for "100 USD VND"
        percentage,  // `keyword` (of/on/off) phrase: first is the percentage, second the base
        function,    // `name` (lower case) applied to first
        inlineRate,  // first @ second, converted to `name` when it is not empty
        prev,        // the previous result
    };

    Kind kind = Kind::literal;
    Op op = Op::add;
    Keyword keyword = Keyword::of;
    bool implicit = false;
    bool inverse = false;
    bool comparison = false;
    int first = -1;
    int second = -1;
    Quantity quantity;
    std::string name;
};

struct ExprTree {
    std::vector<Expr> nodes;
    int root = -1;

    const Expr& operator[](int i) const { return nodes[static_cast<std::size_t>(i)]; }
};

}  // namespace quibsum
