#pragma once
// CurrencyGuideContent: what the currency guide teaches, as data: sections of example lines,
// each with an explanation. Kept apart from the dialog so that every example can be run
// through the engine, in each number style, and held to its explanation.

#include <QString>
#include <optional>
#include <vector>

#include "QuibSumCore/NumberStyle.h"

namespace quibsum {

struct CurrencyGuideItem {
    // One or more sheet lines joined by "\n", written in the United States style; the last one
    // is the conversion explained. The guide shows it in the number style in use.
    const char* example;
    const char* explanation;  // untranslated source text
    // Set for an example about one number style: it is shown as written, in that style.
    std::optional<NumberStyle> onlyStyle = std::nullopt;
};

struct CurrencyGuideSection {
    const char* title;  // untranslated source text
    std::vector<CurrencyGuideItem> items;
    const char* note = nullptr;  // a closing remark, untranslated
};

namespace CurrencyGuideContent {

inline constexpr const char* context = "SumCurrencyGuide";

const char* tip();
const std::vector<CurrencyGuideSection>& sections();
// A source text in the interface's language.
QString translated(const char* text);

// The number style the example is read in when the sheets use `inUse`.
NumberStyle styleOf(const CurrencyGuideItem& item, NumberStyle inUse);
// The example as it is typed into a sheet that uses `inUse`.
QString example(const CurrencyGuideItem& item, NumberStyle inUse);
// The explanation in the interface's language, its figures written as the example's.
QString explanation(const CurrencyGuideItem& item, NumberStyle inUse);
// `text` (written in the United States style) with the separators of its figures in `style`:
// "24,000" and ".5" become "24.000" and ",5" in the Vietnam style. A point or comma that
// does not stand before a digit is punctuation and stays.
QString withSeparators(const QString& text, NumberStyle style);

}  // namespace CurrencyGuideContent

}  // namespace quibsum
