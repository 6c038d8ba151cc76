#pragma once
// Small helpers the engine's tests share: exact decimals from text, and a line's result as
// the text a person sees beside it.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/LineResult.h"

namespace quibsum::testing {

// The decimal the text spells; a typo in a test fails that test instead of reading as zero.
inline Decimal dec(std::string_view text) {
    auto d = Decimal::parse(text);
    EXPECT_TRUE(d.has_value()) << "not a decimal: " << text;
    return d.value_or(Decimal::nan());
}

// What a line shows: "note", "error: <message>", or the display text.
inline std::string shown(const LineResult& r) {
    if (auto v = r.asValue()) return v->display;
    if (auto e = r.asError()) return "error: " + e->message;
    return "note";
}

inline std::string err(std::string_view message) { return "error: " + std::string(message); }

}  // namespace quibsum::testing
