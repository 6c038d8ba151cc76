#pragma once
// The commands that act on the running application through the session bus: `show`, `hide`,
// `toggle` and `append-selection`, and the quick-sheet append that `append` shares with them.
// None of them writes the sheets while an instance runs: the instance does, so that two
// processes never write the same files.

#include <QString>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"

namespace quibsum::InstanceCommands {

// `quibsum show|hide|toggle [--help]`. `words` are the arguments after the command. Without a
// running instance, show and toggle start one (which needs a display) and hide has nothing to
// do. Exit status 0, 1 when the instance cannot be reached or started, 2 on a usage error.
int runWindowCommand(const std::string& command, const std::vector<std::string>& words, const CommandLineIO& io);

// `quibsum append-selection [--help]`: the primary selection, else the clipboard, appended to
// the quick sheet, which the application then shows. Creates the GUI application object it
// reads the selection with, so it must be called before any other; fails with a message when
// there is no display. Only the window program has it (AppendSelection.cpp), as it needs Qt Gui.
int runAppendSelection(int& argc, char** argv, const std::vector<std::string>& words, const CommandLineIO& io);

// Adds `text` to the quick sheet and returns the sheet's whole text: through the running
// instance (which shows it), else, when `startInstance` and a display allow, through an
// instance started for it, else directly in the sheet store. Throws std::exception with a
// message for a person, also when the bus or the instance does not answer in time (then
// nothing is written here, and a command ends with CommandLineIO::abandon when
// SumServiceClient::callAbandoned() says so).
QString appendToQuickSheet(const QString& text, bool startInstance);

std::string helpText(const std::string& command);

// Only --help is an option; nothing else is taken. Returns the exit status when the command
// ends here (after the help, or a usage error).
std::optional<int> parseBare(const std::string& command, const std::vector<std::string>& words,
                             const CommandLineIO& io);

// append, show, hide and toggle, for runCommandLine (append-selection needs the arguments
// themselves; see runAppendSelection).
std::span<const Command> commands();

}  // namespace quibsum::InstanceCommands
