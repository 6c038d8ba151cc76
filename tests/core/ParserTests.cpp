// Parser shapes: each line is lexed, parsed and printed as an s-expression, so a row shows
// exactly how the phrase groups.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuibSumCore/Lexer.h"
#include "QuibSumCore/Parser.h"

using namespace quibsum;

namespace {

std::string print(const ExprTree& t, int i) {
    const Expr& e = t[i];
    switch (e.kind) {
        case Expr::Kind::literal: {
            std::string s = e.quantity.value.toString();
            if (e.quantity.unit) s += " " + e.quantity.unit->symbol.str();
            return s;
        }
        case Expr::Kind::variable:
            return "$" + e.name;
        case Expr::Kind::unary:
            return "(neg " + print(t, e.first) + ")";
        case Expr::Kind::binary:
            return "(" + std::string(name(e.op)) + " " + print(t, e.first) + " " + print(t, e.second) + ")";
        case Expr::Kind::percent:
            return "(% " + print(t, e.first) + ")";
        case Expr::Kind::conversion:
            return std::string(e.implicit ? "(as? " : "(as ") + print(t, e.first) + " " + e.name + ")";
        case Expr::Kind::percentage:
            return "(" + std::string(name(e.keyword)) + (e.inverse ? "-inverse" : "") +
                   (e.comparison ? "-comparison" : "") + " " + print(t, e.first) + " " + print(t, e.second) + ")";
        case Expr::Kind::function:
            return "(" + e.name + " " + print(t, e.first) + ")";
        case Expr::Kind::inlineRate:
            return "(@ " + print(t, e.first) + " " + print(t, e.second) + (e.name.empty() ? "" : " " + e.name) + ")";
        case Expr::Kind::prev:
            return "prev";
    }
    return "?";
}

Result<ParsedExpression> parseLine(const std::string& line) {
    std::vector<Token::Kind> kinds;
    for (auto& lexeme : Lexer(NumberStyle::en).lexemes(line)) kinds.push_back(lexeme.token.kind);
    return Parser::parse(kinds);
}

struct ShapeRow {
    const char* line;
    const char* shape;  // nullptr: a syntax failure
};

TEST(Parser, Shapes) {
    const ShapeRow rows[] = {
        {"2 + 3 * 4", "(add 2 (multiply 3 4))"},
        {"2^3^2", "(power 2 (power 3 2))"},
        {"8 / 2 / 2", "(divide (divide 8 2) 2)"},
        {"-2^2", "(power (neg 2) 2)"},
        {"+5", "5"},
        {"5%", "(% 5)"},
        {"200 + 10%", "(add 200 (% 10))"},
        {"$5 + 3", "(add 5 USD 3)"},
        {"€ 20", "20 EUR"},
        {"5 km in m", "(as 5 km m)"},
        {"5 km to m", "(as 5 km m)"},
        {"5 km as m", "(as 5 km m)"},
        {"2 km + 300 m in ft", "(as (add 2 km 300 m) ft)"},
        {"100 USD VND", "(as? 100 USD VND)"},
        {"x đô", "(as? $x USD)"},
        {"x(2)", "(multiply $x 2)"},
        {"2(3+4)", "(multiply 2 (add 3 4))"},
        {"sqrt(2)", "(sqrt 2)"},
        {"sqrt 16 + 9", "(add (sqrt 16) 9)"},
        {"sin 30^2", "(power (sin 30) 2)"},
        {"SQRT 4", "(sqrt 4)"},
        {"prev * 2", "(multiply prev 2)"},
        {"20% of 50", "(of (% 20) 50)"},
        {"10% of 100 + 50", "(of (% 10) (add 100 50))"},
        {"10% of 100 in km", "(as (of (% 10) 100) km)"},
        {"15% on 200", "(on (% 15) 200)"},
        {"20% giảm 80", "(off (% 20) 80)"},
        {"20% of what is 50", "(of-inverse (% 20) 50)"},
        {"30 as a % of 120", "(of-comparison 30 120)"},
        {"30 as a % off 120", "(off-comparison 30 120)"},
        {"100 USD @ 25000", "(@ 100 USD 25000)"},
        {"100 USD @ 25000 VND", "(@ 100 USD 25000 VND)"},
        {"2500000 VND @ 25000 USD", "(@ 2500000 VND 25000 USD)"},
        {"5 km m", nullptr},
        {"$ x", nullptr},
        {"(", nullptr},
        {"(1 + 2", nullptr},
        {"5 5", nullptr},
        {"*", nullptr},
        {"5 in 3", nullptr},
        {"20% of what 50", nullptr},
        {"30 as a % 120", nullptr},
        {"km", nullptr},
    };
    for (const auto& row : rows) {
        auto parsed = parseLine(row.line);
        if (!row.shape) {
            EXPECT_FALSE(parsed.ok()) << row.line << " parsed as " << print(parsed->tree, parsed->tree.root);
            if (!parsed.ok()) {
                EXPECT_FALSE(parsed.error().isMessage()) << row.line;
            }
            continue;
        }
        ASSERT_TRUE(parsed.ok()) << row.line;
        EXPECT_EQ(print(parsed->tree, parsed->tree.root), row.shape) << row.line;
    }
}

TEST(Parser, InlineRateTakesAPrimary) {
    // The rate is one operand; what follows is an operator at the outer level.
    auto parsed = parseLine("100 USD @ 25000 + 5");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(print(parsed->tree, parsed->tree.root), "(add (@ 100 USD 25000) 5)");
}

TEST(Parser, SecondInlineRateIsAMessage) {
    auto parsed = parseLine("100 USD @ 25000 @ 2");
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error(), EvaluationError::of(EvaluationError::Kind::invalidRate));
    EXPECT_EQ(parsed.error().text(), "Tỷ giá không hợp lệ");
}

TEST(Parser, ReportsNamesAndPrev) {
    auto parsed = parseLine("rent + food * rent + trên");
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->referencedNames, (std::vector<std::string>{"rent", "food"}));
    EXPECT_TRUE(parsed->usesPrev);
    auto function = parseLine("sqrt(x)");
    ASSERT_TRUE(function.ok());
    EXPECT_EQ(function->referencedNames, (std::vector<std::string>{"x"}));
    EXPECT_FALSE(function->usesPrev);
}

TEST(Parser, NestingIsBounded) {
    std::string deep(127, '(');
    deep += "1" + std::string(127, ')');
    EXPECT_TRUE(parseLine(deep).ok());
    std::string tooDeep(200, '(');
    tooDeep += "1" + std::string(200, ')');
    EXPECT_FALSE(parseLine(tooDeep).ok());
    std::string negations(300, '-');
    EXPECT_FALSE(parseLine(negations + "1").ok());
}

}  // namespace
