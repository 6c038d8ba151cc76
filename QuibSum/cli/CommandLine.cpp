#include "QuibSum/cli/CommandLine.h"

#include <array>
#include <ostream>

#include "QuibSum/cli/CommandContext.h"
#include "QuibSum/cli/CommandOptions.h"
#include "QuibSum/cli/Commands.h"

namespace quibsum {

namespace {

const char* const programHelp = R"(Usage: quibsum [--hidden]
  or:  quibsum COMMAND [OPTION]... [ARGUMENT]...
A notepad calculator: arithmetic, units, percentages in words, currencies and
variables, in English and Vietnamese, one line at a time.

Without a command, opens the Quib Sum window on the stored sheets (--hidden
starts it without showing the window); when Quib Sum is already running, shows
its window instead. Only show, toggle and append-selection need a display.

Commands:
  calc EXPRESSION...     print the result of one expression
  sheet [FILE]           print a whole sheet with each line's result and the total
  sheets                 list the stored sheets
  append [TEXT]...       add lines to the quick sheet and print their results
  rates [--refresh]      tell which exchange rates are in use
  show                   show the window, starting Quib Sum if needed
  hide                   hide the window
  toggle                 hide the window when it is in front, else show it
  append-selection       add the selected text to the quick sheet and show it

  -h, --help             display this help and exit
      --version          output version information and exit

Run 'quibsum COMMAND --help' for the options of each command.

Environment:
  QUIBSUM_DATA_DIR       folder of the sheets and the rate cache
                         (default: $XDG_DATA_HOME/QuibSum, ~/.local/share/QuibSum)
  QUIBSUM_CONFIG_DIR     folder of the settings
                         (default: $XDG_CONFIG_HOME/QuibSum, ~/.config/QuibSum)

Exit status: 0 on success, 1 when the command fails, 2 on a usage error.
)";

constexpr std::array<Command, 4> computing = {{
    {"calc", Commands::calc},
    {"sheet", Commands::sheet},
    {"sheets", Commands::sheets},
    {"rates", Commands::rates},
}};

int runCommand(const std::vector<std::string>& args, const CommandLineIO& io, std::span<const Command> commands) {
    if (args.size() < 2) return reportUsageError(io, "", "missing command");
    const std::string& name = args[1];
    if (name == "-h" || name == "--help") {
        io.out << programHelp;
        return CommandContext::success;
    }
    if (name == "--version") {
        io.out << "quibsum (Quib Sum) " QUIBSUM_VERSION "\n";
        return CommandContext::success;
    }
    for (const Command& command : commands)
        if (command.name == name) return command.run(command.name, {args.begin() + 2, args.end()}, io);
    return reportUsageError(io, "", "unknown command '" + name + "'");
}

}  // namespace

std::span<const Command> computingCommands() { return computing; }

int runCommandLine(const std::vector<std::string>& args, const CommandLineIO& io, std::span<const Command> commands) {
    CommandContext::startRun();
    int status = runCommand(args, io, commands);
    status = CommandContext::outputChecked(status, io);
    return CommandContext::outputFailed() ? CommandContext::failure : status;
}

}  // namespace quibsum
