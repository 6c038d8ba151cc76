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

}  // namespace

std::string_view key(std::string_view text) { return text.substr(0, text.find(' ')); }

bool beginsWithLetter(std::string_view text) {
    if (text.empty()) return false;
    std::size_t pos = 0;
    char32_t c = utf8::decode(text, pos);
    if (c < 0x80) return isLetter(c) || c == U'_';
    return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_ALPHABETIC);
}

std::optional<std::string> validName(std::span<const LineToken> tokens) {
    if (tokens.empty()) return std::nullopt;
    if (tokens.size() == 1 && !tokens[0].is(Token::Tag::word)) return std::nullopt;
    std::string name = tokens[0].text;
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

void joinMultiWordNames(std::vector<LineToken>& tokens, const Environment& env) {
    if (env.multiWordNames.empty()) return;
    std::vector<LineToken> out;
    out.reserve(tokens.size());
    std::string built;
    for (std::size_t i = 0; i < tokens.size();) {
        auto names = env.multiWordNames.find(key(tokens[i].text));
        const std::string* best = nullptr;
        std::size_t bestSpan = 0;
        if (names != env.multiWordNames.end()) {
            for (const std::string& full : names->second) {
                built = tokens[i].text;
                std::size_t span = 1;
                while (built.size() < full.size() && i + span < tokens.size()) {
                    appendJoined(built, tokens[i + span]);
                    ++span;
                }
                if (built == full && span > bestSpan) {
                    best = &full;
                    bestSpan = span;
                }
            }
        }
        if (!best) {
            out.push_back(std::move(tokens[i]));
            ++i;
            continue;
        }
        TextRange range{tokens[i].range.location, tokens[i + bestSpan - 1].range.end() - tokens[i].range.location};
        out.push_back(LineToken{Token::Kind::word(*best), range, *best, tokens[i].joiner});
        i += bestSpan;
    }
    tokens = std::move(out);
}

}  // namespace quibsum::VariableNames
