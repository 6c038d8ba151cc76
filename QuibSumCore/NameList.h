#pragma once
// A short list of names held in one string: each name is its byte length (seven bits per
// byte, low bits first) followed by its bytes. A line's few short names fit the string's
// inline buffer, so the common line's name lists cost no heap allocation. Reads as a sequence
// of std::string_view.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>

namespace quibsum {

class NameList {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return read(p_).name; }
        const_iterator& operator++() {
            p_ = read(p_).next;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        friend bool operator==(const_iterator, const_iterator) = default;

    private:
        friend class NameList;
        explicit const_iterator(const char* p) : p_(p) {}
        const char* p_ = nullptr;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    NameList() = default;
    NameList(std::initializer_list<std::string_view> names) {
        for (std::string_view name : names) push_back(name);
    }

    void push_back(std::string_view name) {
        std::size_t length = name.size();
        do {
            const auto low = static_cast<unsigned char>(length & 0x7F);
            length >>= 7;
            bytes_.push_back(static_cast<char>(length != 0 ? low | 0x80 : low));
        } while (length != 0);
        bytes_.append(name);
        ++count_;
    }
    // Adds the name unless it is already there; the list stays a set in order of first adding.
    void insert(std::string_view name) {
        if (!contains(name)) push_back(name);
    }
    bool contains(std::string_view name) const {
        for (std::string_view n : *this)
            if (n == name) return true;
        return false;
    }
    void clear() {
        bytes_.clear();
        count_ = 0;
    }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const_iterator begin() const { return const_iterator(bytes_.data()); }
    const_iterator end() const { return const_iterator(bytes_.data() + bytes_.size()); }
    // Walks the list: meant for the handful of names a line holds.
    std::string_view operator[](std::size_t i) const { return *std::next(begin(), static_cast<std::ptrdiff_t>(i)); }

    friend bool operator==(const NameList&, const NameList&) = default;
    // Compares with any sequence of strings (a std::vector<std::string> in tests and callers).
    template <std::ranges::input_range R>
        requires(!std::is_same_v<std::remove_cvref_t<R>, NameList>)
    friend bool operator==(const NameList& a, const R& b) {
        auto i = a.begin();
        auto j = std::ranges::begin(b);
        for (; i != a.end() && j != std::ranges::end(b); ++i, ++j)
            if (*i != std::string_view(*j)) return false;
        return i == a.end() && j == std::ranges::end(b);
    }

private:
    struct Entry {
        std::string_view name;
        const char* next;
    };
    static Entry read(const char* p) {
        std::size_t length = 0;
        int shift = 0;
        unsigned char byte;
        do {
            byte = static_cast<unsigned char>(*p++);
            length |= static_cast<std::size_t>(byte & 0x7F) << shift;
            shift += 7;
        } while (byte & 0x80);
        return {std::string_view(p, length), p + length};
    }

    std::string bytes_;
    std::uint32_t count_ = 0;
};

}  // namespace quibsum
