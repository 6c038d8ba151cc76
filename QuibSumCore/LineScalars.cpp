#include "QuibSumCore/LineScalars.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

#include "QuibSumCore/Utf8.h"

namespace quibsum {

namespace {

char32_t lowerASCII(char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; }

// The simple mapping gives the first scalar of the full lower-case form for every scalar
// (U+0130 lowers to "i" + U+0307 and simply to "i"); a test holds ICU to that.
char32_t lower(char32_t c) {
    return c < 0x80 ? lowerASCII(c) : static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

// Code points of these classes never join a neighbour into one character, except CR before LF,
// so a line made only of them needs no segmentation pass.
bool standsAlone(char32_t c) {
    if (c < 0x80) return true;
    switch (u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK)) {
        case U_GCB_OTHER:
        case U_GCB_CONTROL:
        case U_GCB_CR:
        case U_GCB_LF:
            return true;
        default:
            return false;
    }
}

// Creating a break iterator costs far more than lexing a line, so each thread keeps one.
icu::BreakIterator* characterBreaker() {
    thread_local std::unique_ptr<icu::BreakIterator> breaker = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) made.reset();
        return made;
    }();
    return breaker.get();
}

const icu::Normalizer2* nfc() {
    static const icu::Normalizer2* instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? n : nullptr;
    }();
    return instance;
}

}  // namespace

void LineScalars::assign(std::string_view line) {
    ascii_ = utf8::isAscii(line);
    if (ascii_) {
        assignASCII(line);
    } else {
        scalars_.clear();
        starts_.clear();
        ends_.clear();
        assignUnicode(line);
    }
}

void LineScalars::assignASCII(std::string_view line) {
    const std::size_t n = line.size();
    size_ = n;
    if (scalars_.size() < n) scalars_.resize(n);
    if (lowered_.size() < n) lowered_.resize(n);
    bool crlf = false;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<char32_t>(line[i]);
        scalars_[i] = c;
        lowered_[i] = lowerASCII(c);
        crlf |= c == U'\r';
    }
    oneUnitPerScalar_ = !crlf;
    if (!crlf) return;
    starts_.resize(std::max(starts_.size(), n));
    ends_.resize(std::max(ends_.size(), n));
    for (std::size_t i = 0; i < n; ++i) {
        starts_[i] = static_cast<int>(i);
        ends_[i] = static_cast<int>(i + 1);
    }
    // CR LF is the one pair of ASCII scalars that forms a single character.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (line[i] == '\r' && line[i + 1] == '\n') {
            ends_[i] = static_cast<int>(i + 2);
            starts_[i + 1] = static_cast<int>(i);
        }
    }
}

void LineScalars::assignUnicode(std::string_view line) {
    oneUnitPerScalar_ = false;
    codePoints_.clear();
    codePointOffsets_.clear();
    utf16_.clear();
    bool simple = true;
    for (std::size_t pos = 0; pos < line.size();) {
        const char32_t c = utf8::decode(line, pos);
        codePoints_.push_back(c);
        codePointOffsets_.push_back(static_cast<int>(utf16_.size()));
        if (c >= 0x10000) {
            utf16_.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            utf16_.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            utf16_.push_back(static_cast<char16_t>(c));
        }
        simple = simple && standsAlone(c);
    }
    codePointOffsets_.push_back(static_cast<int>(utf16_.size()));
    const std::size_t count = codePoints_.size();
    lowered_.clear();

    if (simple) {
        // Every code point is a character of its own, except CR LF.
        for (std::size_t cp = 0; cp < count; ++cp) {
            const char32_t c = codePoints_[cp];
            if (c == U'\r' && cp + 1 < count && codePoints_[cp + 1] == U'\n') {
                appendCharacter(cp, cp + 2);
                ++cp;
            } else if (c < 0x80) {
                push(c, codePointOffsets_[cp], codePointOffsets_[cp + 1]);
            } else {
                appendCharacter(cp, cp + 1);
            }
        }
        size_ = scalars_.size();
        return;
    }

    boundaries_.clear();
    if (icu::BreakIterator* breaker = characterBreaker()) {
        UErrorCode status = U_ZERO_ERROR;
        UText text = UTEXT_INITIALIZER;
        utext_openUChars(&text, utf16_.data(), static_cast<int64_t>(utf16_.size()), &status);
        breaker->setText(&text, status);
        if (U_SUCCESS(status)) {
            std::size_t cp = 0;
            for (int32_t b = breaker->first(); b != icu::BreakIterator::DONE; b = breaker->next()) {
                while (cp < count && codePointOffsets_[cp] < b) ++cp;
                boundaries_.push_back(cp);
            }
        }
        utext_close(&text);
        if (boundaries_.empty() || boundaries_.back() != count) boundaries_.clear();
    }
    if (boundaries_.empty()) {
        // Without a break iterator code points stand for characters; ranges stay consistent.
        for (std::size_t cp = 0; cp <= count; ++cp) boundaries_.push_back(cp);
    }
    for (std::size_t k = 0; k + 1 < boundaries_.size(); ++k) appendCharacter(boundaries_[k], boundaries_[k + 1]);
    size_ = scalars_.size();
}

void LineScalars::push(char32_t c, int start16, int end16) {
    scalars_.push_back(c);
    lowered_.push_back(lower(c));
    starts_.push_back(start16);
    ends_.push_back(end16);
}

void LineScalars::appendCharacter(std::size_t first, std::size_t end) {
    const int start16 = codePointOffsets_[first];
    const int end16 = codePointOffsets_[end];
    auto push = [&](char32_t c) { this->push(c, start16, end16); };
    const icu::Normalizer2* normalizer = nfc();
    bool composed;
    if (!normalizer) {
        composed = true;
    } else if (end - first == 1) {
        // Alone, a scalar changes under NFC only when its quick-check answer is "no".
        const char32_t c = codePoints_[first];
        composed = c < 0x80 || u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_NFC_QUICK_CHECK) != UNORM_NO;
    } else {
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString alias(false, utf16_.data() + start16, end16 - start16);
        composed = normalizer->quickCheck(alias, status) == UNORM_YES || U_FAILURE(status);
    }
    if (composed) {
        for (std::size_t cp = first; cp < end; ++cp) push(codePoints_[cp]);
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString alias(false, utf16_.data() + start16, end16 - start16);
    icu::UnicodeString normalized;
    normalizer->normalize(alias, normalized, status);
    if (U_FAILURE(status)) {
        for (std::size_t cp = first; cp < end; ++cp) push(codePoints_[cp]);
        return;
    }
    for (int32_t k = 0; k < normalized.length();) {
        const UChar32 c = normalized.char32At(k);
        push(static_cast<char32_t>(c));
        k += U16_LENGTH(c);
    }
}

}  // namespace quibsum
