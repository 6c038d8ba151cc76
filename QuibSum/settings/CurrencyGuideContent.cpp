#include "QuibSum/settings/CurrencyGuideContent.h"

#include <QCoreApplication>

namespace quibsum::CurrencyGuideContent {

const char* tip() {
    return QT_TRANSLATE_NOOP("SumCurrencyGuide",
                             "Fastest way: type an amount with its currency, then the currency you want, "
                             "as in 100 USD VND.");
}

const std::vector<CurrencyGuideSection>& sections() {
    static const std::vector<CurrencyGuideSection> all{
        {QT_TRANSLATE_NOOP("SumCurrencyGuide", "Convert money"),
         {
             {"100 USD VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "The currency you want, right after the amount, converts it.")},
             {"100 USD to VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "Or put a word between them: to, in, into, sang, đổi ra, thành, qua.")},
             {"100 USD = ? VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "An equals sign with a question mark asks too.")},
             {"100 USD → VND", QT_TRANSLATE_NOOP("SumCurrencyGuide", "An arrow works the same way.")},
             {"100 USD là bao nhiêu VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "Ask in Vietnamese: là bao nhiêu, bằng bao nhiêu, được bao nhiêu.")},
             {"đổi 100 USD sang VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "A line may start with đổi or quy đổi, as you would say it.")},
             {"rent = 500 USD\nrent in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "A variable holding money converts like the amount itself.")},
         }},
        {QT_TRANSLATE_NOOP("SumCurrencyGuide", "Writing amounts"),
         {
             {"$20 in VND", QT_TRANSLATE_NOOP("SumCurrencyGuide", "Dollars: $20, 20 USD or 20 đô.")},
             {"€50 in VND", QT_TRANSLATE_NOOP("SumCurrencyGuide", "Euros: €50, 50 EUR or 50 euro.")},
             {"502,000 đ in USD", QT_TRANSLATE_NOOP("SumCurrencyGuide", "Dong: đ, ₫, VND, vnđ or đồng.")},
             {"¥1,500 in GBP", QT_TRANSLATE_NOOP("SumCurrencyGuide", "Yen and pounds: ¥ and £, or JPY and GBP.")},
             {"90 eur in usd", QT_TRANSLATE_NOOP("SumCurrencyGuide", "Any three-letter ISO code, in capitals or not.")},
         }},
        {QT_TRANSLATE_NOOP("SumCurrencyGuide", "Rates you type"),
         {
             {"USD = 24,000\n100 USD in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "A rate typed on its own line is used by every line below it, before the bank's.")},
             {"1 EUR = 27,000 VND\n10 EUR in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "Spell out both currencies when the rate is not in dong.")},
             {"1,004,000 VND in USD",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "Without a rate of yours, dong conversions use the Default VND rate chosen in "
                                "Settings: Transfer unless you change it.")},
             {"100 USD @ 25,000", QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                                    "@ gives the rate for this line only, in dong unless you name "
                                                    "another currency.")},
             {"1 VND = 0.00004 USD\n100 USD in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "A rate works both ways: the inverse is used when needed.")},
         }},
        {QT_TRANSLATE_NOOP("SumCurrencyGuide", "Buy and sell rates"),
         {
             {"mua 100 USD sang VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "mua uses the bank's buy rate, bán its sell rate, for this line only.")},
         },
         QT_TRANSLATE_NOOP("SumCurrencyGuide",
                           "A line with both mua and bán uses the buy rate; when the bank has no buy or sell rate "
                           "for a currency, the market rate answers.")},
        {QT_TRANSLATE_NOOP("SumCurrencyGuide", "Number separators"),
         {
             {"2.510.000 đ sang USD",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "With the Vietnam number style, dots group thousands and a comma marks decimals."),
              NumberStyle::vi},
             {"2,510,000 VND in USD",
              QT_TRANSLATE_NOOP("SumCurrencyGuide",
                                "With the United States number style, commas group thousands and a dot marks "
                                "decimals."),
              NumberStyle::en},
             {".5 USD in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "A decimal may start with its decimal mark: .5 is a half.")},
             {"1.5k USD in VND",
              QT_TRANSLATE_NOOP("SumCurrencyGuide", "Decimals take a scale word: k or nghìn, tr or triệu.")},
         }},
    };
    return all;
}

QString translated(const char* text) { return QCoreApplication::translate(context, text); }

NumberStyle styleOf(const CurrencyGuideItem& item, NumberStyle inUse) { return item.onlyStyle.value_or(inUse); }

QString example(const CurrencyGuideItem& item, NumberStyle inUse) {
    const QString text = QString::fromUtf8(item.example);
    return item.onlyStyle ? text : withSeparators(text, inUse);
}

QString explanation(const CurrencyGuideItem& item, NumberStyle inUse) {
    const QString text = translated(item.explanation);
    return item.onlyStyle ? text : withSeparators(text, inUse);
}

QString withSeparators(const QString& text, NumberStyle style) {
    if (style == NumberStyle::en) return text;
    QString out = text;
    const auto separatorAt = [&out](qsizetype i) {
        return (out[i] == u'.' || out[i] == u',') && i + 1 < out.size() && out[i + 1].isDigit();
    };
    qsizetype i = 0;
    while (i < out.size()) {
        if (!out[i].isDigit() && !separatorAt(i)) {
            ++i;
            continue;
        }
        // A run of digits and separators; one that hangs on a word ("v1.2") is no figure.
        const bool figure = i == 0 || !out[i - 1].isLetter();
        for (; i < out.size() && (out[i].isDigit() || separatorAt(i)); ++i)
            if (figure && !out[i].isDigit()) out[i] = out[i] == u'.' ? u',' : u'.';
    }
    return out;
}

}  // namespace quibsum::CurrencyGuideContent
