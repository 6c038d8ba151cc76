// quibsum-window: the desktop application (no command, or --hidden) and every command of
// Quib Sum, those that reach the running application included. `quibsum` hands over to it.

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/cli/InstanceCommands.h"
#include "QuibSum/shell/DesktopApp.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    if (args.size() == 1 || (args.size() == 2 && args[1] == "--hidden"))
        return quibsum::runDesktopApp(argc, argv, args.size() == 2);

    quibsum::CommandLineIO io{std::cin, std::cout, std::cerr, [](int status) {
                                  std::cout.flush();
                                  std::cerr.flush();
                                  std::_Exit(status);
                              }};
    // Reading the selection is the one command that needs the display, and its own
    // application object.
    if (args[1] == "append-selection")
        return quibsum::InstanceCommands::runAppendSelection(argc, argv, {args.begin() + 2, args.end()}, io);
    // The other commands never touch a display: only the event loop's home, for the bus and
    // the sheet store's delayed save.
    QCoreApplication app(argc, argv);
    std::vector<quibsum::Command> commands(quibsum::computingCommands().begin(), quibsum::computingCommands().end());
    commands.insert(commands.end(), quibsum::InstanceCommands::commands().begin(),
                    quibsum::InstanceCommands::commands().end());
    return quibsum::runCommandLine(args, io, commands);
}
