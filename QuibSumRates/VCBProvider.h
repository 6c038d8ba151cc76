#pragma once
// VCBProvider: the bank's rate table, XML with one "Exrate" element per currency (attributes
// CurrencyCode, Buy, Transfer, Sell, in VND with "," grouping, "-" for a kind not quoted) and a
// "DateTime" element in Vietnam time.

#include <string>
#include <string_view>

#include "QuibSumCore/VCBFeed.h"

namespace quibsum::VCBProvider {

// The bank's public rate page (LiveRateStore::Options may name another).
std::string endpoint();

// Reads the table as a stream; never resolves an entity, and refuses a document that declares
// any (the bank never does; entity expansion is how XML bombs work). Throws
// RateProviderError::invalidFeed for malformed XML, any unusable "Exrate" element, no currency,
// or a missing or unreadable date. A single bad currency rejects the whole table.
VCBFeed parse(std::string_view body);

}  // namespace quibsum::VCBProvider
