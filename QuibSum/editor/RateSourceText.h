#pragma once
// Where a converted amount's exchange rate came from, as one line for a tooltip:
// "Source: Vietcombank (Transfer) · 05/12/2026 09:30", "Source: rate typed in this sheet".

#include <QString>
#include <QTimeZone>
#include <optional>

#include "QuibSumCore/Quantity.h"

namespace quibsum {

// None when the quantity carries no rate. Dates are shown in `zone` (the user's by default):
// with the time for the bank, whose table changes during the day, and without for the others.
std::optional<QString> rateSourceText(const Quantity& quantity, const QTimeZone& zone = QTimeZone::systemTimeZone());

}  // namespace quibsum
