#include "QuibSumCore/Lexer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/LineScalars.h"
#include "QuibSumCore/Utf8.h"

namespace quibsum {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isBlank(char32_t c) { return Lexicon::isWhiteSpace(c); }

int digitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a' + 10);
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
    return -1;
}

// Per-thread working storage, reused line after line so that a warm lexer allocates only its
// output.
struct Workspace {
    LineScalars line;
    std::string numberText;
    // What line tokens refer to beyond the line and the lexicon: the kinds read from the line,
    // and the texts that differ from the line as typed.
    std::vector<Token::Kind> kinds;
    std::string texts;
};

Workspace& workspace() {
    thread_local Workspace space;
    return space;
}

// One scan of a prepared line into lexemes, bare tokens, or the line entry's tokens (with their
// joiners, comments and the "?" placeholder left out).
template <class Item>
class Scan {
public:
    Scan(Workspace& space, std::string_view source, NumberStyle style, std::vector<Item>& out)
        : line_(space.line),
          s_(line_.scalars()),
          n_(s_.size()),
          source_(source),
          style_(style),
          numberText_(space.numberText),
          kinds_(space.kinds),
          texts_(space.texts),
          out_(out),
          unitTrie_(Lexicon::unitTrie()),
          wordTrie_(Lexicon::wordTrie()),
          scaleWords_(Lexicon::scaleWords()) {}

    void run() {
        if constexpr (std::is_same_v<Item, LineToken>) {
            kinds_.clear();
            texts_.clear();
            // A scalar is at most four bytes of UTF-8 and collapsing blanks only shortens, so
            // the texts never outgrow this and the views into them stay put.
            texts_.reserve(4 * n_);
        }
        std::size_t i = 0;
        while (true) {
            while (i < n_ && isBlank(s_[i])) ++i;
            if (i >= n_) break;
            i = step(i);
        }
        if constexpr (std::is_same_v<Item, LineToken>) {
            // The kinds read from the line may have moved while they were being added; now that
            // they are all there, their tokens (the ones without a kind yet) point at them, in order.
            std::size_t k = 0;
            for (LineToken& token : out_) {
                if (!token.kind) token.kind = &kinds_[k++];
            }
        }
    }

private:
    std::size_t step(std::size_t i) {
        const char32_t c = s_[i];
        if (c == U'"') {
            std::size_t j = i + 1;
            while (j < n_ && s_[j] != U'"') ++j;
            return emit(Token::Kind::comment(), i, j < n_ ? j + 1 : n_);
        }
        if (c == U'#' || (c == U'/' && i + 1 < n_ && s_[i + 1] == U'/')) {
            std::size_t j = i + 1;
            while (j < n_ && s_[j] != U'\n' && s_[j] != U'\r') ++j;
            return emit(Token::Kind::comment(), i, j);
        }
        if ((c == U'.' || c == U',') && i + 1 < n_ && isDigit(s_[i + 1]) &&
            (i == 0 || !Lexicon::isWordScalar(s_[i - 1]))) {
            return number(i);
        }
        if (isDigit(c)) {
            if (c == U'0' && n_ - i >= 3) {
                if (auto radix = Lexicon::radixPrefix(s_[i + 1])) {
                    if (std::size_t end = radixLiteral(i, *radix)) return end;
                }
            }
            return number(i);
        }
        if (c == U'x' && previousIsNumber_) {
            std::size_t j = i + 1;
            while (j < n_ && isBlank(s_[j])) ++j;
            if (j < n_ && isDigit(s_[j])) return emit(Token::Kind::op(Op::multiply), i, i + 1);
        }
        return general(i);
    }

    std::size_t general(std::size_t i) {
        const auto unit = unitMatch(i);
        const auto word = wordTrie_.longestMatch(line_.lowered(), i);
        if (unit || word) {
            // On a tie the unit wins: "cup" is the volume, "TB" the terabyte.
            const auto& match = unit && (!word || unit.end >= word.end) ? unit : word;
            return emit(*match.kind, i, match.end, /*collapseBlanks=*/true);
        }
        const char32_t c = s_[i];
        if ((c == U'-' || c == U'=') && i + 1 < n_ && s_[i + 1] == U'>') {
            return emit(Token::Kind::op(Op::convert), i, i + 2);
        }
        if (const Token::Kind* symbol = Lexicon::symbol(c)) return emit(*symbol, i, i + 1);
        std::size_t j = i + 1;
        if (Lexicon::isWordScalar(c)) {
            while (j < n_ && Lexicon::isWordScalar(s_[j])) ++j;
        }
        return emitWord(i, j);
    }

    // A literal such as 0x1F, 0b101 or 0o17; returns 0 when no digit follows the prefix.
    std::size_t radixLiteral(std::size_t i, int radix) {
        std::size_t j = i + 2;
        std::uint64_t small = 0;
        std::optional<Decimal> large;
        for (; j < n_; ++j) {
            const int digit = digitValue(s_[j]);
            if (digit < 0 || digit >= radix) break;
            if (large) {
                *large = *large * Decimal(radix) + Decimal(digit);
            } else if (small < (std::uint64_t{1} << 56)) {
                small = small * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
            } else {
                large = Decimal(static_cast<long long>(small)) * Decimal(radix) + Decimal(digit);
            }
        }
        if (j == i + 2) return 0;
        const Decimal value = large ? *large : Decimal(static_cast<long long>(small));
        return emit(Token::Kind::number(value), i, j);
    }

    // Reads a number literal in the line's style, then any scale suffix ("2k", "1tr5", "5 triệu").
    std::size_t number(std::size_t from) {
        std::size_t k = from;
        std::uint64_t leadingValue = 0;  // meaningful for up to 18 digits
        for (; k < n_ && isDigit(s_[k]); ++k)
            leadingValue = leadingValue * 10 + static_cast<std::uint64_t>(s_[k] - U'0');
        const std::size_t leadingDigits = k - from;
        // Most literals are whole numbers without separators: exact in 64 bits, nothing to decide.
        const bool separatorFollows = k + 1 < n_ && (s_[k] == U'.' || s_[k] == U',') && isDigit(s_[k + 1]);
        if (!separatorFollows && leadingDigits > 0 && leadingDigits <= 18) {
            return scaled(from, k, Decimal(static_cast<long long>(leadingValue)));
        }
        int separators = 0, points = 0, commas = 0;
        bool middleRunsOfThree = true;
        std::size_t lastRun = 0, lastSeparator = 0;
        while (k + 1 < n_ && (s_[k] == U'.' || s_[k] == U',') && isDigit(s_[k + 1])) {
            if (separators > 0 && lastRun != 3) middleRunsOfThree = false;
            ++separators;
            ++(s_[k] == U'.' ? points : commas);
            lastSeparator = k;
            std::size_t r = k + 1;
            while (r < n_ && isDigit(s_[r])) ++r;
            lastRun = r - (k + 1);
            k = r;
        }
        const std::size_t end = k;

        enum class Reading { none, integer, decimalPoint, grouping };
        Reading reading;
        const char32_t last = separators > 0 ? s_[lastSeparator] : U'\0';
        if (separators == 0) {
            reading = Reading::integer;
        } else if (leadingDigits == 0) {
            reading = separators == 1 ? Reading::decimalPoint : Reading::none;
        } else if (points > 0 && commas > 0) {
            const bool lastSeenBefore = (last == U'.' ? points : commas) > 1;
            reading = middleRunsOfThree && !lastSeenBefore ? Reading::decimalPoint : Reading::none;
        } else if (separators >= 2) {
            reading = middleRunsOfThree && lastRun == 3 ? Reading::grouping : Reading::none;
        } else {
            bool onlyZeros = true;
            for (std::size_t p = from; p < from + leadingDigits; ++p) onlyZeros = onlyZeros && s_[p] == U'0';
            const char32_t decimalSeparator = style_ == NumberStyle::vi ? U',' : U'.';
            reading = onlyZeros || lastRun != 3 || last == decimalSeparator ? Reading::decimalPoint : Reading::grouping;
        }

        std::optional<Decimal> value;
        if (reading != Reading::none) {
            numberText_.resize(end - from + 1);
            char* out = numberText_.data();
            if (leadingDigits == 0) *out++ = '0';
            // Whole numbers of up to 18 digits (most of what is typed) are exact in 64 bits.
            std::uint64_t whole = 0;
            int digits = 0;
            bool point = false;
            for (std::size_t p = from; p < end; ++p) {
                if (isDigit(s_[p])) {
                    *out++ = static_cast<char>(s_[p]);
                    whole = whole * 10 + static_cast<std::uint64_t>(s_[p] - U'0');
                    ++digits;
                } else if (p == lastSeparator && reading == Reading::decimalPoint) {
                    *out++ = '.';
                    point = true;
                }
            }
            if (!point && digits <= 18) {
                value = Decimal(static_cast<long long>(whole));
            } else {
                value = Decimal::parse(
                    std::string_view(numberText_.data(), static_cast<std::size_t>(out - numberText_.data())));
                if (value && value->isNaN()) value.reset();
            }
        }
        if (!value) return emitWord(from, end);
        return scaled(from, end, *value);
    }

    std::size_t scaled(std::size_t from, std::size_t e, const Decimal& value) {
        std::size_t j = e;
        while (j < n_ && isBlank(s_[j])) ++j;
        if (j >= n_ || !Lexicon::startsScaleWord(s_[j])) return emit(Token::Kind::number(value), from, e);
        // A unit right after the number is lexed as the unit, except an attached "K", which
        // reads as thousands: "5K" is 5000, "5 K" five kelvin.
        if (unitMatch(j) && !(j == e && s_[e] == U'K')) {
            return emit(Token::Kind::number(value), from, e);
        }
        const Lexicon::ScaleWord* best = nullptr;
        for (const auto& scale : scaleWords_) {
            const std::u32string& w = scale.scalars;
            if (j != e && w.size() == 1 && (w[0] == U'k' || w[0] == U'K')) continue;
            if (best && w.size() <= best->scalars.size()) continue;
            if (n_ - j < w.size() || !std::equal(w.begin(), w.end(), s_.begin() + static_cast<std::ptrdiff_t>(j))) {
                continue;
            }
            const std::size_t f = j + w.size();
            if (f == n_ || !Lexicon::isWordScalar(s_[f]) || isDigit(s_[f])) best = &scale;
        }
        if (!best) return emit(Token::Kind::number(value), from, e);

        const std::size_t f = j + best->scalars.size();
        std::size_t d = f;
        if (j > e) {
            while (d < n_ && isBlank(s_[d])) ++d;
        }
        std::size_t g = d;
        while (g < n_ && isDigit(s_[g])) ++g;
        if (g > d && (g == n_ || !Lexicon::isWordScalar(s_[g]))) {
            numberText_.assign("0.");
            for (std::size_t p = d; p < g; ++p) numberText_.push_back(static_cast<char>(s_[p]));
            const Decimal fraction = Decimal::parse(numberText_).value_or(Decimal());
            return emit(Token::Kind::number((value + fraction) * best->value), from, g);
        }
        return emit(Token::Kind::number(value * best->value), from, f);
    }

    // The longest unit word at i. A unit word after a number is looked up twice, once to see
    // whether it stops a scale suffix and once to lex it, so the last answer is kept.
    LexiconTrie::Match unitMatch(std::size_t i) {
        if (i != unitMatchAt_) {
            unitMatch_ = unitTrie_.longestMatch(s_, i);
            unitMatchAt_ = i;
        }
        return unitMatch_;
    }

    std::size_t emitWord(std::size_t i, std::size_t j) {
        j = characterEnd(j);
        if constexpr (std::is_same_v<Item, Lexeme>) {
            Lexeme& lexeme = out_.emplace_back();
            appendText(lexeme.text, i, j, false);
            lexeme.token.kind = Token::Kind::word(lexeme.text);
            lexeme.token.range = range(i, j);
        } else if constexpr (std::is_same_v<Item, LineToken>) {
            const TextRange r = range(i, j);
            const LineToken::Joiner joiner = joinerBefore(r);
            // The "?" placeholder reads as nothing: "100 USD = ? VND" is "100 USD = VND".
            if (!(j == i + 1 && s_[i] == U'?')) {
                const std::string_view text = lineText(i, j, false);
                kinds_.push_back(Token::Kind::word(std::string(text)));
                out_.push_back(LineToken{nullptr, r, text, joiner});
            }
        } else {
            Token& token = out_.emplace_back();
            std::string text;
            appendText(text, i, j, false);
            token.kind = Token::Kind::word(std::move(text));
            token.range = range(i, j);
        }
        previousIsNumber_ = false;
        return j;
    }

    // Takes the kind by reference to the lexicon's entry, which a line token then points at, or
    // by value for a kind made here (a number, say), which is moved, never copied.
    template <class Kind>
    std::size_t emit(Kind&& kind, std::size_t i, std::size_t j, bool collapseBlanks = false) {
        j = characterEnd(j);
        const bool isNumber = kind.is(Token::Tag::number);
        if constexpr (std::is_same_v<Item, Lexeme>) {
            Lexeme& lexeme = out_.emplace_back();
            lexeme.token.kind = std::forward<Kind>(kind);
            lexeme.token.range = range(i, j);
            appendText(lexeme.text, i, j, collapseBlanks);
        } else if constexpr (std::is_same_v<Item, LineToken>) {
            const TextRange r = range(i, j);
            const LineToken::Joiner joiner = joinerBefore(r);
            if (!kind.is(Token::Tag::comment)) {  // comments take no part in the calculation
                const std::string_view text = lineText(i, j, collapseBlanks);
                if (kind.is(Token::Tag::word) && text == "?") {
                    // the "?" placeholder reads as nothing
                } else if constexpr (std::is_lvalue_reference_v<Kind>) {
                    out_.push_back(LineToken{&kind, r, text, joiner});  // the lexicon's own entry
                } else {
                    kinds_.push_back(std::move(kind));
                    out_.push_back(LineToken{nullptr, r, text, joiner});
                }
            }
        } else {
            Token& token = out_.emplace_back();
            token.kind = std::forward<Kind>(kind);
            token.range = range(i, j);
        }
        previousIsNumber_ = isNumber;
        return j;
    }

    // How a token joins the one read before it, dropped ones included.
    LineToken::Joiner joinerBefore(TextRange r) {
        const int previousEnd = std::exchange(previousEnd_, r.end());
        if (previousEnd < 0) return LineToken::Joiner::none;
        return previousEnd == r.location ? LineToken::Joiner::touching : LineToken::Joiner::space;
    }

    // A lexeme never ends inside a character: when a character's composed form has several
    // scalars and a match stops between them, the rest of the character joins the lexeme, so
    // ranges never overlap.
    std::size_t characterEnd(std::size_t j) const {
        while (j < n_ && j > 0 && line_.characterStart(j) == line_.characterStart(j - 1)) ++j;
        return j;
    }

    TextRange range(std::size_t i, std::size_t j) const {
        const int start = line_.characterStart(i);
        return {start, line_.characterEnd(j - 1) - start};
    }

    // The text of scalars i to j as a line token holds it: the line itself where it reads the
    // same, otherwise a copy in the workspace.
    std::string_view lineText(std::size_t i, std::size_t j, bool collapseBlanks) {
        if (line_.isASCII()) {
            const auto scalars = s_.subspan(i, j - i);
            if (!collapseBlanks || std::none_of(scalars.begin(), scalars.end(), isBlank)) {
                return source_.substr(i, j - i);
            }
        }
        const std::size_t start = texts_.size();
        appendText(texts_, i, j, collapseBlanks);
        return std::string_view(texts_).substr(start);
    }

    // The scalars' text; blanks inside a multi-word entry collapse to one space.
    void appendText(std::string& text, std::size_t i, std::size_t j, bool collapseBlanks) const {
        const auto scalars = s_.subspan(i, j - i);
        if (!collapseBlanks || std::none_of(scalars.begin(), scalars.end(), isBlank)) {
            if (line_.isASCII()) {
                text.append(source_.substr(i, j - i));
            } else {
                utf8::append(text, scalars);
            }
            return;
        }
        bool inBlank = false;
        for (char32_t c : scalars) {
            if (isBlank(c)) {
                if (!inBlank) text.push_back(' ');
                inBlank = true;
                continue;
            }
            inBlank = false;
            utf8::append(text, c);
        }
    }

    const LineScalars& line_;
    std::span<const char32_t> s_;
    std::size_t n_;
    std::string_view source_;
    NumberStyle style_;
    std::string& numberText_;
    std::vector<Token::Kind>& kinds_;
    std::string& texts_;
    std::vector<Item>& out_;
    const Lexicon::Trie& unitTrie_;
    const Lexicon::Trie& wordTrie_;
    const std::vector<Lexicon::ScaleWord>& scaleWords_;
    LexiconTrie::Match unitMatch_;
    std::size_t unitMatchAt_ = static_cast<std::size_t>(-1);  // where unitMatch_ was looked up
    bool previousIsNumber_ = false;
    int previousEnd_ = -1;  // where the last token read ends; -1 before the first
};

template <class Item>
void scanInto(std::string_view source, NumberStyle style, std::vector<Item>& out) {
    Workspace& space = workspace();
    space.line.assign(source);
    Scan<Item>(space, source, style, out).run();
}

template <class Item>
std::vector<Item> scan(std::string_view source, NumberStyle style) {
    std::vector<Item> result;
    // Lexemes are rarely denser than one per two scalars; one allocation usually suffices.
    result.reserve(std::min<std::size_t>(source.size() / 2 + 2, 256));
    scanInto(source, style, result);
    return result;
}

}  // namespace

std::vector<Lexeme> Lexer::lexemes(std::string_view utf8Line) const { return scan<Lexeme>(utf8Line, style_); }

std::vector<Token> Lexer::tokens(std::string_view utf8Line) const { return scan<Token>(utf8Line, style_); }

void Lexer::lineTokens(std::string_view utf8Line, std::vector<LineToken>& out) const {
    out.clear();
    scanInto(utf8Line, style_, out);
}

}  // namespace quibsum
