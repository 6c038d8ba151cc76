#pragma once
// CurrencyGuideContent: what the currency guide teaches, as data: sections of example lines,
// each with the number style it is written in and an explanation. Kept apart from the dialog
// so that every example can be run through the engine and held to its explanation.

#include <QString>
#include <vector>

#include "QuibSumCore/NumberStyle.h"

namespace quibsum {

struct CurrencyGuideItem {
    // One or more sheet lines joined by "\n"; the last one is the conversion explained.
    const char* example;
    const char* explanation;  // untranslated source text
    NumberStyle style = NumberStyle::en;
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

}  // namespace CurrencyGuideContent

}  // namespace quibsum
