#pragma once
// A vector of small plain values that keeps its first N elements inside itself, so that the
// common case (a line with no or one or two variable ranges) costs no heap allocation.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ranges>
#include <type_traits>
#include <vector>

namespace quibsum {

template <class T, std::size_t N>
class InlineVector {
    static_assert(std::is_trivially_copyable_v<T>, "elements are copied as plain bytes");

public:
    using value_type = T;
    using size_type = std::size_t;
    using iterator = T*;
    using const_iterator = const T*;

    InlineVector() = default;
    InlineVector(std::initializer_list<T> values) { assign(values.begin(), values.size()); }
    InlineVector(const InlineVector& other) { assign(other.data(), other.size()); }
    InlineVector(InlineVector&& other) noexcept { take(other); }
    InlineVector& operator=(const InlineVector& other) {
        if (this != &other) {
            size_ = 0;
            assign(other.data(), other.size());
        }
        return *this;
    }
    InlineVector& operator=(InlineVector&& other) noexcept {
        if (this != &other) {
            heap_.reset();
            take(other);
        }
        return *this;
    }
    ~InlineVector() = default;

    void push_back(const T& value) {
        if (size_ == capacity()) grow(size_ * 2);
        data()[size_++] = value;
    }
    void clear() { size_ = 0; }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return heap_ ? heap_.get() : inline_.data(); }
    const T* data() const { return heap_ ? heap_.get() : inline_.data(); }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    const T& front() const { return data()[0]; }
    const T& back() const { return data()[size_ - 1]; }

    operator std::vector<T>() const { return std::vector<T>(begin(), end()); }

    friend bool operator==(const InlineVector& a, const InlineVector& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    // Compares with any other sequence of the same values (a std::vector in tests and callers).
    template <std::ranges::input_range R>
        requires(!std::is_same_v<std::remove_cvref_t<R>, InlineVector>)
    friend bool operator==(const InlineVector& a, const R& b) {
        return std::equal(a.begin(), a.end(), std::ranges::begin(b), std::ranges::end(b));
    }

private:
    std::size_t capacity() const { return heap_ ? heapCapacity_ : N; }

    void grow(std::size_t wanted) {
        wanted = std::max<std::size_t>(wanted, N * 2);
        auto bigger = std::make_unique_for_overwrite<T[]>(wanted);
        std::copy(begin(), end(), bigger.get());
        heap_ = std::move(bigger);
        heapCapacity_ = static_cast<std::uint32_t>(wanted);
    }

    void assign(const T* values, std::size_t count) {
        if (count > capacity()) grow(count);
        std::copy(values, values + count, data());
        size_ = static_cast<std::uint32_t>(count);
    }

    void take(InlineVector& other) {
        if (other.heap_) {
            heap_ = std::move(other.heap_);
            heapCapacity_ = other.heapCapacity_;
        } else {
            std::copy(other.begin(), other.end(), inline_.data());
        }
        size_ = other.size_;
        other.size_ = 0;
    }

    std::array<T, N> inline_{};
    std::unique_ptr<T[]> heap_;
    std::uint32_t size_ = 0;
    std::uint32_t heapCapacity_ = 0;
};

}  // namespace quibsum
