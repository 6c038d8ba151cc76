#pragma once
// OptionalRate: the exchange rate a quantity carries, if any, held out of line. Few values
// carry a rate (those a currency conversion produced), so a quantity keeps one pointer rather
// than the rate's room. The rate is immutable and shared by the copies: copying is a count,
// and two holders compare by the rates they hold. Reads like std::optional<Rate>.

#include <atomic>
#include <cstdint>
#include <optional>
#include <utility>

#include "QuibSumCore/Rate.h"

namespace quibsum {

class OptionalRate {
public:
    OptionalRate() noexcept = default;
    OptionalRate(std::nullopt_t) noexcept {}
    OptionalRate(const Rate& rate) : held_(new Held{rate}) {}
    OptionalRate(const std::optional<Rate>& rate) : held_(rate ? new Held{*rate} : nullptr) {}
    OptionalRate(const OptionalRate& other) noexcept : held_(other.held_) { retain(); }
    OptionalRate(OptionalRate&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
    ~OptionalRate() { release(); }

    OptionalRate& operator=(const OptionalRate& other) noexcept {
        OptionalRate copy(other);
        std::swap(held_, copy.held_);
        return *this;
    }
    OptionalRate& operator=(OptionalRate&& other) noexcept {
        OptionalRate taken(std::move(other));
        std::swap(held_, taken.held_);
        return *this;
    }
    OptionalRate& operator=(std::nullopt_t) noexcept {
        reset();
        return *this;
    }

    bool has_value() const noexcept { return held_ != nullptr; }
    explicit operator bool() const noexcept { return held_ != nullptr; }
    // Like std::optional's: only on a holder with a rate.
    const Rate& operator*() const noexcept { return held_->rate; }
    const Rate* operator->() const noexcept { return &held_->rate; }
    void reset() noexcept {
        release();
        held_ = nullptr;
    }
    std::optional<Rate> toOptional() const { return held_ ? std::optional<Rate>(held_->rate) : std::nullopt; }

    friend bool operator==(const OptionalRate& a, const OptionalRate& b) {
        if (a.held_ == b.held_) return true;
        return a.held_ && b.held_ && a.held_->rate == b.held_->rate;
    }
    friend bool operator==(const OptionalRate& a, const Rate& b) { return a.held_ && a.held_->rate == b; }
    friend bool operator==(const OptionalRate& a, std::nullopt_t) { return !a.held_; }

private:
    struct Held {
        Rate rate;
        std::atomic<std::uint32_t> references{1};
    };

    void retain() const noexcept {
        if (held_) held_->references.fetch_add(1, std::memory_order_relaxed);
    }
    void release() noexcept {
        if (held_ && held_->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete held_;
    }

    Held* held_ = nullptr;
};

}  // namespace quibsum
