#pragma once
// A sheet's text as a command reads it: the bytes of a file or of standard input, refused
// whole past the size a sheet may hold, then made into well-formed text.

#include <iosfwd>
#include <optional>
#include <string>

namespace quibsum::SheetInput {

// The whole of the file at `path`, or of `in` for "-". A file named on the command line may
// be a pipe (`quibsum sheet <(…)`), so it is read as it comes; only its size is bounded. None,
// with `error` set to a message for a person, when it cannot be read or is too large.
std::optional<std::string> read(const std::string& path, std::istream& in, std::string& error);

// Bytes read as a sheet's text: UTF-8 with every ill-formed sequence replaced by U+FFFD, a
// leading byte-order mark dropped, line ends made "\n", and one final line feed dropped (the
// end of the last line of a text file, not an empty line after it).
std::string textFromBytes(const std::string& bytes);

}  // namespace quibsum::SheetInput
