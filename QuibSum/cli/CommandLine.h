#pragma once
// The `quibsum` command line: one-shot calculations, whole sheets, the stored sheets and the
// rates, all usable without a display. Exit status 0 on success, 1 on a failure, 2 on a usage
// error.

#include <array>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
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

// One command: its name, and what runs it with the words that follow the name.
struct Command {
    std::string_view name;
    int (*run)(std::string_view name, const std::vector<std::string>& words, const CommandLineIO& io);
};

// The commands that only compute or read files: calc, sheet, sheets and rates.
std::span<const Command> computingCommands();

// The commands that talk to the running application over the session bus (the bus program
// offers them), and the one that also reads the display (only the window program has it).
inline constexpr std::array<std::string_view, 4> busCommandNames = {"append", "show", "hide", "toggle"};
inline constexpr std::string_view appendSelectionName = "append-selection";

// `args` is the whole argument vector, the program's name first. Besides --help and --version,
// the program offers `commands`; any other is an unknown command.
int runCommandLine(const std::vector<std::string>& args, const CommandLineIO& io, std::span<const Command> commands);

}  // namespace quibsum
