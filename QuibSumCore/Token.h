#pragma once
// What the lexer reads from a line: a token kind and the stretch of the line it came from.
// Kinds carry their payload inline so that a line's tokens cost one vector, and words short
// enough for the small-string buffer cost nothing more.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/Unit.h"

namespace quibsum {

// The operator an `op` token names; precedence and meaning belong to the parser and evaluator.
enum class Op : std::uint8_t { add, subtract, multiply, divide, power, mod, convert };

enum class Keyword : std::uint8_t { of, on, off, what, is, as, asPercent, buy, sell, sum, average, prev };

// A stretch of a line in UTF-16 code units, the unit every part of the program counts ranges in.
struct TextRange {
    int location = 0;
    int length = 0;

    int end() const { return location + length; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

struct Token {
    class Kind {
    public:
        // Payload cases first; the order is relied upon by anything that ranks kinds.
        enum class Tag : std::uint8_t {
            number,
            word,
            unit,
            currency,
            op,
            keyword,
            percent,
            lparen,
            rparen,
            assign,
            colon,
            comment,
            at,
        };

        Kind() = default;  // an empty word

        static Kind number(Decimal value) {
            Kind k(Tag::number);
            k.number_ = value;
            return k;
        }
        static Kind word(std::string text) { return Kind(Tag::word, std::move(text)); }
        static Kind unit(UnitID id) { return Kind(Tag::unit, std::move(id.raw)); }
        static Kind currency(std::string code) { return Kind(Tag::currency, std::move(code)); }
        static Kind op(Op o) {
            Kind k(Tag::op);
            k.small_ = static_cast<std::uint8_t>(o);
            return k;
        }
        static Kind keyword(Keyword w) {
            Kind k(Tag::keyword);
            k.small_ = static_cast<std::uint8_t>(w);
            return k;
        }
        static Kind percent() { return Kind(Tag::percent); }
        static Kind lparen() { return Kind(Tag::lparen); }
        static Kind rparen() { return Kind(Tag::rparen); }
        static Kind assign() { return Kind(Tag::assign); }
        static Kind colon() { return Kind(Tag::colon); }
        static Kind comment() { return Kind(Tag::comment); }
        static Kind at() { return Kind(Tag::at); }

        Tag tag() const { return tag_; }
        bool is(Tag t) const { return tag_ == t; }
        bool isOp(Op o) const { return tag_ == Tag::op && small_ == static_cast<std::uint8_t>(o); }
        bool isKeyword(Keyword w) const { return tag_ == Tag::keyword && small_ == static_cast<std::uint8_t>(w); }

        // Payload accessors; each is meaningful only for its own case.
        const Decimal& numberValue() const { return number_; }
        Op opValue() const { return static_cast<Op>(small_); }
        Keyword keywordValue() const { return static_cast<Keyword>(small_); }
        // The word as typed, the unit's canonical symbol, or the upper-case currency code.
        const std::string& text() const { return text_; }
        UnitID unitID() const { return UnitID{text_}; }

        friend bool operator==(const Kind& a, const Kind& b) {
            if (a.tag_ != b.tag_) return false;
            switch (a.tag_) {
                case Tag::number:
                    return a.number_ == b.number_;
                case Tag::word:
                case Tag::unit:
                case Tag::currency:
                    return a.text_ == b.text_;
                case Tag::op:
                case Tag::keyword:
                    return a.small_ == b.small_;
                default:
                    return true;
            }
        }

    private:
        explicit Kind(Tag t) : tag_(t) {}
        Kind(Tag t, std::string text) : text_(std::move(text)), tag_(t) {}

        Decimal number_;
        std::string text_;
        Tag tag_ = Tag::word;
        std::uint8_t small_ = 0;  // the Op or Keyword
    };
    using Tag = Kind::Tag;

    Kind kind;
    TextRange range;

    friend bool operator==(const Token&, const Token&) = default;
};

// A readable form of a kind ("number(1.5)", "op(convert)", "unit(km)") for test failures.
std::string describe(const Token::Kind& kind);
std::string_view name(Op op);
std::string_view name(Keyword keyword);

}  // namespace quibsum
