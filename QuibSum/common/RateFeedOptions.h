#pragma once
// RateFeedOptions: the addresses the live rate store downloads from. The feeds' public pages,
// unless QUIBSUM_VCB_URL or QUIBSUM_ERAPI_URL names another (tests and scripts point them at a
// local server, or at nothing); this is the one place that reads them.

#include "QuibSumRates/LiveRateStore.h"

namespace quibsum::RateFeedOptions {

LiveRateStore::Options fromEnvironment();

}  // namespace quibsum::RateFeedOptions
