#include "QuibSumCore/Engine.h"

#include <utility>

#include "QuibSumCore/ResultFormatter.h"

namespace quibsum {

Engine::Engine(std::shared_ptr<const RateStore> rates, NumberStyle style, RateKind defaultVNDKind)
    : rates_(std::move(rates)), style_(style), defaultVNDKind_(defaultVNDKind), converter_(*rates_) {}

std::string Engine::format(const Quantity& q) const { return ResultFormatter::format(q, style_); }

}  // namespace quibsum
