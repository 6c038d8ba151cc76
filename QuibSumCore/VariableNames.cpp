#include "QuibSumCore/VariableNames.h"

#include <unicode/uchar.h>

#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/Utf8.h"

namespace quibsum::VariableNames {

namespace {

bool isLetter(char32_t c) {
    if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
    auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    return (mask & U_GC_L_MASK) != 0;
}

bool isNameCharacter(char32_t c) {
    if (c < 0x80) return isLetter(c) || (c >= U'0' && c <= U'9') || c == U'_';
    auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    return (mask & (U_GC_L_MASK | U_GC_M_MASK | U_GC_ND_MASK)) != 0;
}

void appendJoined(std::string& out, const LineToken& t) {
    if (t.joiner == LineToken::Joiner::space) out += ' ';
    out += t.text;
}

// How many tokens from the first spell `name` (texts joined by their joiners), or 0: tokens
// are taken while the text so far is shorter than the name, and must then equal it.
std::size_t spelledSpan(std::span<const LineToken> tokens, std::string_view name) {
    std::size_t length = 0, span = 0;
    while (span < tokens.size() && (span == 0 || length < name.size())) {
        const LineToken& t = tokens[span];
        if (span > 0 && t.joiner == LineToken::Joiner::space) {
            if (length >= name.size() || name[length] != ' ') return 0;
            ++length;
        }
        if (name.substr(length, t.text.size()) != t.text) return 0;
        length += t.text.size();
        ++span;
    }
    return length == name.size() ? span : 0;
}

}  // namespace

bool beginsWithLetterBeyondASCII(std::string_view text) {
    std::size_t pos = 0;
    char32_t c = utf8::decode(text, pos);
    if (c < 0x80) return isLetter(c) || c == U'_';
    return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_ALPHABETIC);
}

std::optional<std::string> validName(std::span<const LineToken> tokens) {
    if (tokens.empty()) return std::nullopt;
    if (tokens.size() == 1 && !tokens[0].is(Token::Tag::word)) return std::nullopt;
    std::string name(tokens[0].text);
    for (std::size_t i = 1; i < tokens.size(); ++i) appendJoined(name, tokens[i]);

    if (name.empty() || name.front() == ' ' || name.back() == ' ') return std::nullopt;
    std::size_t pos = 0;
    bool first = true;
    bool afterSpace = false;
    while (pos < name.size()) {
        char32_t c = utf8::decode(name, pos);
        if (first) {
            if (!isLetter(c) && c != U'_') return std::nullopt;
            first = false;
            continue;
        }
        if (c == U' ') {
            if (afterSpace) return std::nullopt;
            afterSpace = true;
            continue;
        }
        afterSpace = false;
        if (!isNameCharacter(c) && c != U'_') return std::nullopt;
    }
    if (Lexicon::isFunctionName(utf8::lowered(name)) || Lexicon::isScaleWord(name)) return std::nullopt;
    return name;
}

bool joinMultiWordNames(std::span<const LineToken> tokens, const Environment& env, std::vector<LineToken>& out,
                        std::vector<Token::Kind>& kinds) {
    if (env.multiWordNames.empty()) return false;
    bool joined = false;
    for (std::size_t i = 0; i < tokens.size();) {
        const std::string* best = nullptr;
        std::size_t bestSpan = 0;
        // Most tokens start no name, which their first byte tells before the key is cut out.
        const std::string_view text = tokens[i].text;
        const char firstByte = text.empty() || text.front() == ' ' ? '\0' : text.front();
        auto names = env.multiWordNames.end();
        if (env.multiWordNames.mayBeginWith(firstByte)) names = env.multiWordNames.find(key(text));
        if (names != env.multiWordNames.end()) {
            for (const std::string& full : names->second) {
                std::size_t span = spelledSpan(tokens.subspan(i), full);
                if (span > bestSpan) {
                    best = &full;
                    bestSpan = span;
                }
            }
        }
        if (!best) {
            if (joined) out.push_back(tokens[i]);
            ++i;
            continue;
        }
        if (!joined) {
            // The first join: the tokens before it are kept as they are.
            joined = true;
            out.clear();
            kinds.clear();
            out.insert(out.end(), tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(i));
        }
        TextRange range{tokens[i].range.location, tokens[i + bestSpan - 1].range.end() - tokens[i].range.location};
        kinds.push_back(Token::Kind::word(*best));
        out.push_back(LineToken{nullptr, range, *best, tokens[i].joiner});
        i += bestSpan;
    }
    if (!joined) return false;
    // The joined names' kinds are in place now that none is added any more.
    std::size_t k = 0;
    for (LineToken& t : out) {
        if (!t.kind) t.kind = &kinds[k++];
    }
    return true;
}

}  // namespace quibsum::VariableNames
