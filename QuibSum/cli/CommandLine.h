#pragma once
// The `quibsum` command line: one-shot calculations, whole sheets, the stored sheets and the
// rates, all usable without a display. Exit status 0 on success, 1 on a failure, 2 on a usage
// error.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace quibsum {

struct CommandLineIO {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Called with the exit status once the output is complete while a background rate refresh
    // has not yet ended: the program then ends at once rather than wait for the network.
    // Without it the command waits for the (cancelled) refresh to end.
    std::function<void(int status)> abandon;
};

// `args` is the whole argument vector, the program's name first.
int runCommandLine(const std::vector<std::string>& args, const CommandLineIO& io);

// Bytes read as a sheet's text: UTF-8 with every ill-formed sequence replaced by U+FFFD, a
// leading byte-order mark dropped, line ends made "\n", and one final line feed dropped (the
// end of the last line of a text file, not an empty line after it).
std::string sheetTextFromBytes(const std::string& bytes);

}  // namespace quibsum
