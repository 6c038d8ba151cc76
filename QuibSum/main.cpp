// quibsum: the command line of Quib Sum, and the way into its window. The commands that only
// compute or read files run here, linking nothing of the window, the bus or the network. The
// window (no command, or --hidden) and append-selection run in the window program, the
// commands that talk to the running application in the bus program; either takes over this
// process with the same arguments.

#include <QCoreApplication>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "QuibSum/cli/CommandLine.h"
#include "QuibSum/common/ProgramFiles.h"

namespace {

// The program that runs these arguments, when it is not this one.
std::string_view handOverTo(const std::vector<std::string>& args) {
    using namespace quibsum;
    if (args.size() == 1 || (args.size() == 2 && args[1] == "--hidden") || args[1] == appendSelectionName)
        return ProgramFiles::windowProgramName;
    if (std::find(busCommandNames.begin(), busCommandNames.end(), args[1]) != busCommandNames.end())
        return ProgramFiles::busProgramName;
    return {};
}

// Returns only when the program cannot be started.
int handOver(std::string_view name, char** argv) {
    const std::filesystem::path program = quibsum::ProgramFiles::privateFile(name);
    if (program.empty()) {
        std::cerr << "quibsum: cannot find " << name << " beside the program; the installation is incomplete\n";
        return 1;
    }
    // The same arguments, the program's name first, so that the process looks the same to
    // whoever looks for it (the single-instance checks, the bus's activation).
    ::execv(program.c_str(), argv);
    std::cerr << "quibsum: cannot start " << program.string() << ": " << std::strerror(errno) << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    if (const std::string_view program = handOverTo(args); !program.empty()) return handOver(program, argv);

    quibsum::CommandLineIO io{std::cin, std::cout, std::cerr, [](int status) {
                                  std::cout.flush();
                                  std::cerr.flush();
                                  std::_Exit(status);
                              }};
    // Only the sheet store wants an event loop's home, for its delayed save; the evaluating
    // commands start no Qt application at all.
    std::unique_ptr<QCoreApplication> app;
    if (args[1] == "sheets") app = std::make_unique<QCoreApplication>(argc, argv);
    return quibsum::runCommandLine(args, io, quibsum::computingCommands());
}
