#pragma once
// A line prepared for matching: its scalars in composed form (NFC, character by character),
// their lower-case twins, and for each scalar the UTF-16 range of the user-perceived character
// it came from, so that whatever is matched on scalars maps back onto whole characters.
// Reusable: assigning a new line keeps the buffers, so a warm instance does not allocate.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quibsum {

class LineScalars {
public:
    // Invalid UTF-8 reads as U+FFFD. An all-ASCII line never reaches ICU.
    void assign(std::string_view utf8Line);

    std::size_t size() const { return size_; }
    std::span<const char32_t> scalars() const { return {scalars_.data(), size_}; }
    // ASCII capitals lowered; any other scalar replaced by the first scalar of its lower-case form.
    std::span<const char32_t> lowered() const { return {lowered_.data(), size_}; }
    // UTF-16 start and end of the character that scalar i belongs to.
    int characterStart(std::size_t i) const { return oneUnitPerScalar_ ? static_cast<int>(i) : starts_[i]; }
    int characterEnd(std::size_t i) const { return oneUnitPerScalar_ ? static_cast<int>(i + 1) : ends_[i]; }
    bool isASCII() const { return ascii_; }

private:
    void assignASCII(std::string_view line);
    void assignUnicode(std::string_view line);
    void appendCharacter(std::size_t firstCodePoint, std::size_t endCodePoint);
    void push(char32_t scalar, int start16, int end16);

    // Only the first size_ scalars belong to the line; the buffers only grow, so that ASCII
    // lines are written straight into them without clearing.
    std::size_t size_ = 0;
    std::vector<char32_t> scalars_;
    std::vector<char32_t> lowered_;
    std::vector<int> starts_;
    std::vector<int> ends_;
    bool ascii_ = true;
    bool oneUnitPerScalar_ = true;  // ASCII without CR LF: offsets are the indices, no arrays needed

    // Working storage for lines beyond ASCII.
    std::vector<char32_t> codePoints_;
    std::vector<int> codePointOffsets_;  // UTF-16 offset of each code point, plus the total
    std::u16string utf16_;
    std::vector<std::size_t> boundaries_;  // code point indices where characters start, plus the end
};

}  // namespace quibsum
