// Arbitrary text through Engine::analyze with fixed rates and a small environment. A line
// never crashes, and every error it shows is one of the engine's messages.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/EngineMessages.h"
#include "tests/support/TestRates.h"

using namespace quibsum;

namespace {

Environment makeEnvironment() {
    Environment env;
    env.assign("x", Quantity{Decimal(5), std::nullopt, std::nullopt});
    env.assign("tiền nhà", Quantity{Decimal(5000000), Unit{"VND"}, std::nullopt});
    env.assign("giá bán", Quantity{Decimal(120), Unit{"USD"}, std::nullopt});
    env.sheetRates[CurrencyPair{"EUR", "VND"}] = Decimal(27000);
    env.prev = Quantity{Decimal(2), Unit{"km"}, std::nullopt};
    return env;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto rates = quibsum::testing::testRates();
    static const Engine engines[] = {
        Engine(rates, NumberStyle::vi, RateKind::transfer),
        Engine(rates, NumberStyle::en, RateKind::mid),
    };
    static const Environment env = makeEnvironment();
    if (size == 0) return 0;
    const Engine& engine = engines[data[0] & 1];
    std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);

    LineAnalysis a = engine.analyze(line, env);
    if (auto e = a.result.asError()) {
        if (std::find(messages::all.begin(), messages::all.end(), e->message) == messages::all.end()) std::abort();
    }
    if (a.aggregate && !a.result.isNote()) std::abort();
    return 0;
}
