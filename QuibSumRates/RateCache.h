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
#include "QuibSumFiles/FileDevice.h"

namespace quibsum::RateCache {

// Reads and validates a snapshot. Throws std::system_error when the file does not exist,
// StoredFileError when it cannot be read or is not a regular file (a FIFO never blocks),
// RateDecodingError when it is not the format above, RateProviderError::invalidFeed when a table
// is empty, a rate is not positive, or the file is implausibly large. Nothing is partly used.
RateSnapshot load(const std::filesystem::path& location);
RateSnapshot decode(std::string_view bytes);

// Writes atomically and privately (mode 0600; missing folders 0700), leaving the old file intact
// on any failure. Throws StoredFileError naming the file and the reason, std::system_error when
// a folder cannot be made.
void save(const RateSnapshot& snapshot, const std::filesystem::path& location,
          FileDevice& device = FileDevice::system());
std::string encode(const RateSnapshot& snapshot);

// The built-in seed with both tables marked as seed, whatever its file says.
RateSnapshot seed();
std::string_view seedBytes();

}  // namespace quibsum::RateCache
