#include "QuibSumCore/RateSnapshot.h"

namespace quibsum {

std::optional<Rate> RateSnapshot::rate(std::string_view from, std::string_view to, RateKind kind) const {
    if (kind == RateKind::mid) {
        if (!questionNames(from, "USD")) return std::nullopt;
        const Decimal* value = erapi.quotes.find(to);
        if (value == nullptr) return std::nullopt;
        return Rate{*value, erapiIsSeed ? RateSource::seed : RateSource::exchangeRateAPI, erapi.asOf, kind};
    }
    if (!questionNames(to, "VND")) return std::nullopt;
    const BankQuote* quote = vcb.quotes.find(from);
    if (quote == nullptr) return std::nullopt;
    const std::optional<Decimal>& value = quote->value(kind);
    if (!value) return std::nullopt;
    return Rate{*value, vcbIsSeed ? RateSource::seed : RateSource::vietcombank, vcb.asOf, kind};
}

}  // namespace quibsum
