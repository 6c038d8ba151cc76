#pragma once
// Everything the engine learned about one line: what it shows, what it assigns and reads,
// whether it is an aggregate or a rate definition, and where its variable names stand.
// Compact: the common line's lists live inside the analysis itself, with no heap allocation.

#include <optional>
#include <string>

#include "QuibSumCore/Aggregate.h"
#include "QuibSumCore/InlineVector.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/NameList.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

struct LineAnalysis {
    LineResult result = LineResult::note();
    std::optional<std::string> assignedName;
    NameList referencedNames;  // a set: no repeats, in order of first reading
    bool usesPrev = false;
    std::optional<Aggregate> aggregate;
    InlineVector<TextRange, 2> variableRanges;  // the assigned name first, then every reference
    std::optional<SheetRate> rateDefinition;
    // The analysis asked the rate store for a rate: a new version of the store's tables may
    // change the result. One that did not would come out the same whatever the tables hold.
    bool asksRateStore = false;
    // The first words of the line's word-like tokens, no repeats: the keys under which the
    // line's possible variable references are looked up.
    NameList nameKeys;

    friend bool operator==(const LineAnalysis&, const LineAnalysis&) = default;
};

}  // namespace quibsum
