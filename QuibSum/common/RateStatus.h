#pragma once
// RateStatus: the short account of which rate tables are in use and how old they are, one
// line per table ("Vietcombank · 5 Dec 2026, 08:30"), as the settings window and
// `quibsum rates` show it.

#include <QString>

#include <string>

#include "QuibSumCore/Rate.h"
#include "QuibSumCore/RateSnapshot.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum::RateStatus {

// The source's name as a person knows it.
QString sourceName(RateSource source);

// Up to two lines joined by a line feed: the bank's USD rate of `kind` towards VND, then the
// mid-market USD to EUR rate, each present answer as its source, " · " and its date (medium
// date, short time). Empty when neither answer exists. `localeName` and `timeZoneID` default
// to the user's (the environment's locale and time zone).
QString text(const RateStore& rates, RateKind kind, const std::string& localeName = {},
             const std::string& timeZoneID = {});

// One line per table, each by itself whatever currencies it holds: its source, " · ", its date
// and " · N currencies" ("Vietcombank · 5 Dec 2026, 08:30 · 20 currencies").
QString tablesText(const RateSnapshot& tables, const std::string& localeName = {}, const std::string& timeZoneID = {});

// The user's locale for dates, from LC_ALL, LC_TIME or LANG; "en_US_POSIX" for C and POSIX.
std::string userLocaleName();

}  // namespace quibsum::RateStatus
