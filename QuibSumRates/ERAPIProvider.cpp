#include "QuibSumRates/ERAPIProvider.h"

#include <charconv>
#include <optional>
#include <vector>

#include "QuibSumRates/FeedDates.h"
#include "QuibSumRates/JsonReader.h"
#include "QuibSumRates/RateProviderError.h"

namespace quibsum::ERAPIProvider {
namespace {

void expect(const JsonValue& value, JsonType type, std::string_view member) {
    if (value.type != type) throw RateDecodingError("wrong type for \"" + std::string(member) + "\"");
}

// Only three ASCII letters name a currency a line can ask for; anything else in a feed (a
// stray key, an escape that decodes to odd text) is dropped, not stored.
bool isCurrencyCode(std::string_view code) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return code.size() == 3 && letter(code[0]) && letter(code[1]) && letter(code[2]);
}

}  // namespace

std::string endpoint() { return "https://open.er-api.com/v6/latest/USD"; }

ERAPIFeed decode(std::string_view body) {
    std::optional<std::string> result;
    std::optional<long long> updated;
    bool haveRates = false;
    // A rate that is not a decimal at all is kept as nullopt and rejected once the JSON is known
    // to be complete, so that a missing member is reported as such.
    std::vector<std::pair<std::string, std::optional<Decimal>>> rates;

    readJson(body, [&](JsonPath path, const JsonValue& value) {
        if (path.empty()) {
            expect(value, JsonType::object, "(root)");
        } else if (jsonPathIs(path, {"result"})) {
            expect(value, JsonType::string, "result");
            result = std::string(value.text);
        } else if (jsonPathIs(path, {"time_last_update_unix"})) {
            expect(value, JsonType::number, "time_last_update_unix");
            long long seconds = 0;
            const char* end = value.text.data() + value.text.size();
            auto [ptr, error] = std::from_chars(value.text.data(), end, seconds);
            if (error != std::errc() || ptr != end)
                throw RateDecodingError("\"time_last_update_unix\" is not a 64-bit integer");
            updated = seconds;
        } else if (jsonPathIs(path, {"rates"})) {
            expect(value, JsonType::object, "rates");
            haveRates = true;
            rates.clear();  // a repeated member replaces the earlier one
        } else if (path.size() == 2 && jsonPathIs(path.first(1), {"rates"}) && !path[1].inArray) {
            expect(value, JsonType::number, "rates");
            if (isCurrencyCode(path[1].name)) rates.emplace_back(path[1].name, Decimal::parse(value.text));
        }
    });

    if (!result) throw RateDecodingError("missing \"result\"");
    if (!updated) throw RateDecodingError("missing \"time_last_update_unix\"");
    if (!haveRates) throw RateDecodingError("missing \"rates\"");

    if (*result != "success") throw RateProviderError::invalidFeed("result is \"" + *result + "\"");
    CurrencyTable<std::optional<Decimal>> table(std::move(rates));
    const std::optional<Decimal>* usd = table.find("USD");
    if (usd == nullptr || !*usd || !(**usd == Decimal(1))) throw RateProviderError::invalidFeed("USD is not 1");

    std::vector<std::pair<std::string, Decimal>> quotes;
    quotes.reserve(table.size());
    for (const auto& [code, rate] : table) {
        if (!rate || rate->isNaN() || !(*rate > Decimal(0)))
            throw RateProviderError::invalidFeed("bad rate for \"" + code + "\"");
        quotes.emplace_back(code, *rate);
    }

    const Instant asOf{std::chrono::seconds{*updated}};
    if (!FeedDates::isSupported(asOf)) throw RateProviderError::invalidFeed("implausible update time");
    return ERAPIFeed{CurrencyTable<Decimal>(std::move(quotes)), asOf};
}

}  // namespace quibsum::ERAPIProvider
