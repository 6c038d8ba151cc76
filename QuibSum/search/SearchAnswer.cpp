#include "QuibSum/search/SearchAnswer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LinePipeline.h"

namespace quibsum {

namespace {

// The search shows one line of description; a long expression is cut there.
constexpr qsizetype shownExpressionLength = 80;

bool isLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Digits with group and decimal marks, perhaps signed: a number typed on its own.
bool isBareNumber(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-' || text[i] == u'\u2212')) ++i;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit())
            digit = true;
        else if (c != u'.' && c != u',' && !c.isSpace())
            return false;
    }
    return digit;
}

// The text without spaces and group marks, case folded: what a result that only repeats its
// expression has in common with it.
QString echoKey(const QString& text) {
    QString key;
    key.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace() && c != u',' && c != u'.') key.append(c);
    return key.toCaseFolded();
}

QString rateLine(const Rate& rate, const QTimeZone& zone) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(rate.asOf.time_since_epoch().count(), zone);
    const QLocale dates(QStringLiteral("vi_VN"));
    switch (rate.source) {
        case RateSource::vietcombank: {
            QString name;
            switch (rate.kind) {
                case RateKind::transfer:
                    name = QCoreApplication::translate("SearchAnswer", "Vietcombank transfer rate");
                    break;
                case RateKind::buy:
                    name = QCoreApplication::translate("SearchAnswer", "Vietcombank buying rate");
                    break;
                case RateKind::sell:
                    name = QCoreApplication::translate("SearchAnswer", "Vietcombank selling rate");
                    break;
                case RateKind::mid:
                    name = QCoreApplication::translate("SearchAnswer", "Vietcombank mid-market rate");
                    break;
            }
            // The bank's table changes during the day: its time matters.
            return QStringLiteral("%1 · %2").arg(name, dates.toString(when, QStringLiteral("dd/MM HH:mm")));
        }
        case RateSource::exchangeRateAPI:
            return QCoreApplication::translate("SearchAnswer", "ExchangeRate-API rate · %1")
                .arg(dates.toString(when, QStringLiteral("dd/MM")));
        case RateSource::seed:
            return QCoreApplication::translate("SearchAnswer", "bundled rate · %1")
                .arg(dates.toString(when, QStringLiteral("dd/MM/yyyy")));
        case RateSource::sheet:
            break;
    }
    return {};
}

}  // namespace

QString SearchAnswer::expressionOf(const QStringList& terms) { return terms.join(u' ').trimmed(); }

std::optional<SearchAnswer> SearchAnswer::find(const QString& expression, std::shared_ptr<const RateStore> rates,
                                               NumberStyle style, RateKind defaultVNDKind, const QTimeZone& zone) {
    const QString typed = expression.trimmed();
    // A longer line is a note to the engine: no need to convert it to find out.
    if (typed.isEmpty() || typed.size() > qsizetype(LinePipeline::maxLineLength)) return std::nullopt;
    // Text of several lines is several expressions; a search answers one.
    for (const QChar c : typed)
        if (isLineBreak(c)) return std::nullopt;
    if (isBareNumber(typed)) return std::nullopt;

    const Engine engine(std::move(rates), style, defaultVNDKind);
    const LineResult line = engine.evaluate(typed.toStdString(), Environment{});
    const LineResult::Value* value = line.asValue();
    if (!value) return std::nullopt;
    const QString result = QString::fromStdString(value->display);
    if (result.isEmpty() || echoKey(result) == echoKey(typed)) return std::nullopt;

    QString shown = typed;
    if (shown.size() > shownExpressionLength) {
        qsizetype cut = shownExpressionLength;
        if (shown[cut - 1].isHighSurrogate()) --cut;
        shown = shown.left(cut) + QChar(0x2026);
    }
    QString description = shown;
    if (value->quantity.rate) {
        const QString source = rateLine(*value->quantity.rate, zone);
        if (!source.isEmpty()) description += QStringLiteral(" · ") + source;
    }
    return SearchAnswer{typed, result, description};
}

}  // namespace quibsum
