#include "QuibSum/common/RateStatus.h"
#include "QuibSum/common/CommandText.h"

#include <QCoreApplication>
#include <QStringList>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace quibsum::RateStatus {

namespace {

QString formatted(Instant when, const std::string& localeName, const std::string& timeZoneID) {
    icu::Locale locale(localeName.empty() ? userLocaleName().c_str() : localeName.c_str());
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kShort, locale));
    if (!format) return QString();
    if (!timeZoneID.empty()) format->adoptTimeZone(icu::TimeZone::createTimeZone(timeZoneID.c_str()));
    icu::UnicodeString text;
    format->format(static_cast<UDate>(when.time_since_epoch().count()) * 1000.0, text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace

QString sourceName(RateSource source) {
    switch (source) {
        case RateSource::vietcombank:
            return QStringLiteral("Vietcombank");
        case RateSource::seed:
            return QCoreApplication::translate("RateStatus", "Bundled rates");
        case RateSource::exchangeRateAPI:
        case RateSource::sheet:
            break;
    }
    return QStringLiteral("ExchangeRate-API");
}

QString text(const RateStore& rates, RateKind kind, const std::string& localeName, const std::string& timeZoneID) {
    QStringList lines;
    for (const std::optional<Rate>& answer :
         {rates.rate("USD", "VND", kind), rates.rate("USD", "EUR", RateKind::mid)}) {
        if (!answer) continue;
        lines << sourceName(answer->source) + QStringLiteral(" · ") + formatted(answer->asOf, localeName, timeZoneID);
    }
    return lines.join(u'\n');
}

QString tablesText(const RateSnapshot& tables, const std::string& localeName, const std::string& timeZoneID) {
    auto line = [&](RateSource source, Instant asOf, std::size_t count) {
        // The command line's words: it runs without the window's translations.
        const QString name = source == RateSource::seed
                                 ? QString::fromUtf8(CommandText::say("Bundled rates", "Tỷ giá đi kèm"))
                                 : sourceName(source);
        return name + QStringLiteral(" · ") + formatted(asOf, localeName, timeZoneID) + QStringLiteral(" · ") +
               QString::fromStdString(
                   CommandText::say("%1 currencies", "%1 loại tiền", {std::to_string(static_cast<int>(count))}));
    };
    return line(tables.vcbIsSeed ? RateSource::seed : RateSource::vietcombank, tables.vcb.asOf,
                tables.vcb.quotes.size()) +
           u'\n' +
           line(tables.erapiIsSeed ? RateSource::seed : RateSource::exchangeRateAPI, tables.erapi.asOf,
                tables.erapi.quotes.size());
}

std::string userLocaleName() {
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    // "vi_VN.UTF-8@euro" names the locale vi_VN for dates.
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") return "en_US_POSIX";
    return name;
}

}  // namespace quibsum::RateStatus
