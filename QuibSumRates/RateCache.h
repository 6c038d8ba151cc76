#pragma once
// RateCache: the snapshot on disk, and the seed snapshot built into the library so that a first
// run, or a run with a damaged cache, converts currencies without a file or a network.
//
// The file is one JSON object, written pretty-printed with sorted keys:
//   {"erapi": {"asOf": ISO date, "quotes": {code: number}}, "erapiIsSeed": bool,
//    "vcb": {"asOf": ISO date, "quotes": {code: {"buy"|"sell"|"transfer": number}}}, "vcbIsSeed": bool}
// Numbers keep their exact decimal text both ways. Reading ignores unknown members.

#include <filesystem>
#include <string>
#include <string_view>

#include "QuibSumCore/RateSnapshot.h"

namespace quibsum::RateCache {

// $QUIBSUM_DATA_DIR/rates.json when that is set, else $XDG_DATA_HOME/QuibSum/rates.json (by
// default ~/.local/share/QuibSum/rates.json). Throws std::runtime_error when there is no home.
std::filesystem::path defaultLocation();

// Reads and validates a snapshot. Throws std::system_error when the file cannot be read,
// RateDecodingError when it is not the format above, RateProviderError::invalidFeed when a table
// is empty, a rate is not positive, or the file is implausibly large. Nothing is partly used.
RateSnapshot load(const std::filesystem::path& location);
RateSnapshot decode(std::string_view bytes);

// Writes atomically (a temporary file renamed over the old one), creating the folder if needed.
// Throws std::system_error or std::filesystem::filesystem_error.
void save(const RateSnapshot& snapshot, const std::filesystem::path& location);
std::string encode(const RateSnapshot& snapshot);

// The built-in seed with both tables marked as seed, whatever its file says.
RateSnapshot seed();
std::string_view seedBytes();

}  // namespace quibsum::RateCache
