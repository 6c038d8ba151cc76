#pragma once
// SearchAnswer: what the desktop's search shows for what a person typed into it. The terms
// form one expression; it has an answer only when it evaluates to a value that says more than
// the text itself (a bare number or a word that merely echoes itself has none).

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <memory>
#include <optional>

#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum {

struct SearchAnswer {
    // The longest expression opened in the window, in UTF-16 units, as for Calculate on the
    // bus. Answers stop sooner, where the engine stops calculating a line.
    static constexpr qsizetype maxExpressionLength = 100000;

    QString expression;
    // The displayed result, in the number style it was evaluated in.
    QString result;
    // One short line: the expression, and for a converted amount where its rate came from.
    QString description;

    // The terms as the desktop splits what was typed, joined with single spaces.
    static QString expressionOf(const QStringList& terms);

    // Evaluates `expression` on its own with the rates in hand (never waiting for new ones).
    // Dates of rates are shown in `zone`.
    static std::optional<SearchAnswer> find(const QString& expression, std::shared_ptr<const RateStore> rates,
                                            NumberStyle style, RateKind defaultVNDKind,
                                            const QTimeZone& zone = QTimeZone::systemTimeZone());

    friend bool operator==(const SearchAnswer&, const SearchAnswer&) = default;
};

}  // namespace quibsum
