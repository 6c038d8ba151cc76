#include "QuibSumCore/Token.h"

namespace quibsum {

std::string_view name(Op op) {
    switch (op) {
        case Op::add:
            return "add";
        case Op::subtract:
            return "subtract";
        case Op::multiply:
            return "multiply";
        case Op::divide:
            return "divide";
        case Op::power:
            return "power";
        case Op::mod:
            return "mod";
        case Op::convert:
            return "convert";
    }
    return "?";
}

std::string_view name(Keyword keyword) {
    switch (keyword) {
        case Keyword::of:
            return "of";
        case Keyword::on:
            return "on";
        case Keyword::off:
            return "off";
        case Keyword::what:
            return "what";
        case Keyword::is:
            return "is";
        case Keyword::as:
            return "as";
        case Keyword::asPercent:
            return "asPercent";
        case Keyword::buy:
            return "buy";
        case Keyword::sell:
            return "sell";
        case Keyword::sum:
            return "sum";
        case Keyword::average:
            return "average";
        case Keyword::prev:
            return "prev";
    }
    return "?";
}

std::string describe(const Token::Kind& kind) {
    using Tag = Token::Tag;
    auto wrap = [](std::string_view tag, std::string_view payload) {
        return std::string(tag) + "(" + std::string(payload) + ")";
    };
    switch (kind.tag()) {
        case Tag::number:
            return wrap("number", kind.numberValue().toString());
        case Tag::word:
            return wrap("word", kind.text());
        case Tag::unit:
            return wrap("unit", kind.text());
        case Tag::currency:
            return wrap("currency", kind.text());
        case Tag::op:
            return wrap("op", name(kind.opValue()));
        case Tag::keyword:
            return wrap("keyword", name(kind.keywordValue()));
        case Tag::percent:
            return "percent";
        case Tag::lparen:
            return "lparen";
        case Tag::rparen:
            return "rparen";
        case Tag::assign:
            return "assign";
        case Tag::colon:
            return "colon";
        case Tag::comment:
            return "comment";
        case Tag::at:
            return "at";
    }
    return "?";
}

}  // namespace quibsum
