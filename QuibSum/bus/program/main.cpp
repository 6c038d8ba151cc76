// quibsum-bus: the commands that talk to the running application over the session bus
// (append, show, hide and toggle), and the evaluating ones beside them. `quibsum` hands over
// to it; it loads Qt Core and D-Bus, nothing of the window.

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/cli/InstanceCommands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    quibsum::CommandLineIO io{std::cin, std::cout, std::cerr, [](int status) {
                                  std::cout.flush();
                                  std::cerr.flush();
                                  std::_Exit(status);
                              }};
    // The event loop's home, for the bus and the sheet store's delayed save.
    QCoreApplication app(argc, argv);
    std::vector<quibsum::Command> commands(quibsum::computingCommands().begin(), quibsum::computingCommands().end());
    commands.insert(commands.end(), quibsum::InstanceCommands::commands().begin(),
                    quibsum::InstanceCommands::commands().end());
    return quibsum::runCommandLine(args, io, commands);
}
