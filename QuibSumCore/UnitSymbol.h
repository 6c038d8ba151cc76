#pragma once
// UnitSymbol: the text of a unit symbol, held in the value itself. Symbols are short codes
// ("km", "m²", "USD", "%"; the longest the registry knows is a few letters with a power
// sign), so up to `capacity` bytes are kept inline and a quantity's unit needs no allocation.
// A longer symbol is not cut: it is stored once in a table that lives as long as the program
// and only grows, and the symbol holds its address. Every text is held one way only (by its
// length), so two symbols are equal exactly when their texts are.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quibsum {

class UnitSymbol {
public:
    static constexpr std::size_t capacity = 15;

    UnitSymbol() noexcept = default;
    UnitSymbol(std::string_view text) { assign(text); }
    UnitSymbol(const char* text) { assign(text); }
    UnitSymbol(const std::string& text) { assign(text); }

    std::string_view view() const noexcept {
        if (size_ != interned) return {bytes_, size_};
        const std::string* held;
        std::memcpy(&held, bytes_, sizeof held);
        return *held;
    }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }
    std::size_t size() const noexcept { return view().size(); }
    bool empty() const noexcept { return size_ == 0; }

    friend bool operator==(const UnitSymbol& a, const UnitSymbol& b) noexcept {
        if (a.size_ != b.size_) return false;
        return a.size_ == interned ? std::memcmp(a.bytes_, b.bytes_, sizeof(const std::string*)) == 0
                                   : std::memcmp(a.bytes_, b.bytes_, a.size_) == 0;
    }
    friend bool operator==(const UnitSymbol& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const UnitSymbol& a, const std::string& b) noexcept { return a.view() == b; }
    friend bool operator==(const UnitSymbol& a, const char* b) noexcept { return a.view() == b; }

private:
    static constexpr std::uint8_t interned = 0xFF;

    void assign(std::string_view text);

    char bytes_[capacity]{};  // the text, or with `interned` the address of its table entry
    std::uint8_t size_ = 0;   // the text's length, or `interned`
};

}  // namespace quibsum
