#include "QuibSum/editor/RateSourceText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

namespace quibsum {

namespace {

QString kindLabel(RateKind kind) {
    switch (kind) {
        case RateKind::mid:
            return QCoreApplication::translate("EditorView", "mid-market");
        case RateKind::transfer:
            return QCoreApplication::translate("EditorView", "Transfer");
        case RateKind::buy:
            return QCoreApplication::translate("EditorView", "Buy");
        case RateKind::sell:
            return QCoreApplication::translate("EditorView", "Sell");
    }
    return {};
}

QString dateText(Instant asOf, const QTimeZone& zone, const QString& pattern) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(asOf.time_since_epoch().count(), zone);
    return QLocale(QStringLiteral("vi_VN")).toString(when, pattern);
}

}  // namespace

std::optional<QString> rateSourceText(const Quantity& quantity, const QTimeZone& zone) {
    if (!quantity.rate) return std::nullopt;
    const Rate& rate = *quantity.rate;
    switch (rate.source) {
        case RateSource::vietcombank:
            return QCoreApplication::translate("EditorView", "Source: Vietcombank (%1) · %2")
                .arg(kindLabel(rate.kind), dateText(rate.asOf, zone, QStringLiteral("dd/MM/yyyy HH:mm")));
        case RateSource::exchangeRateAPI:
            return QCoreApplication::translate("EditorView", "Source: ExchangeRate-API · %1")
                .arg(dateText(rate.asOf, zone, QStringLiteral("dd/MM/yyyy")));
        case RateSource::seed:
            return QCoreApplication::translate("EditorView", "Source: bundled rates · %1")
                .arg(dateText(rate.asOf, zone, QStringLiteral("dd/MM/yyyy")));
        case RateSource::sheet:
            return QCoreApplication::translate("EditorView", "Source: rate typed in this sheet");
    }
    return std::nullopt;
}

}  // namespace quibsum
